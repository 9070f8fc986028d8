#pragma once
// Hosting a page form inside a panel of the main window, one page at a time.

class QWidget;

namespace YnqUtils {

// How PlaceFormInPanel positions the form.
enum PlaceMode { kPlaceFill = 0, kPlaceTopLeft = 1, kPlaceCentred = 2 };

// Hides the panel, detaches whatever it hosted (ClearPanel), makes the panel the form's parent
// as a borderless child, positions it by `mode` (0 fill the panel, 1 at (0, 0), 2 centred and
// never left of or above the panel's origin; any other mode keeps its position), then shows the
// form and the panel. The form stays owned by whoever owned it before.
void PlaceFormInPanel(QWidget* form, QWidget* panel, int mode);

// Hides and detaches every child widget of the panel, first to last. Detached widgets are not
// destroyed.
void ClearPanel(QWidget* panel);

} // namespace YnqUtils
