#pragma once
// The simulated devices' memory on disk: a small JSON file with the tracker's EEPROM and RAM in
// hexadecimal, its on state, and the indicator's LED states and levels.

#include "sim/SimHid.h"

#include <QString>

namespace sim {

// Writes the state through a temporary file that is renamed over `path`, so a crash never
// leaves half a file. False with a message in `error` when the file cannot be written.
bool saveModelState(const QString& path, const TrackerModel& tracker,
                    const IndicatorModel& indicator, QString* error);

// Reads and checks the whole file first; only a file without any fault changes the models.
// False with a message in `error` (naming the file and the fault) otherwise.
bool loadModelState(const QString& path, TrackerModel& tracker, IndicatorModel& indicator,
                    QString* error);

} // namespace sim
