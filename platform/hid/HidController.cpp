// The seam has no code of its own; this unit gives the moc output a home.
#include "platform/hid/HidController.h"
