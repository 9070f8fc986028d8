#pragma once
// The commands of quivractl, each driving TDmTrackCpl as the program's pages and hotkeys do.

#include "CliOptions.h"

namespace cli {

// Checks the command and its arguments before any device is touched. False with a one-line
// message on a usage error.
bool CheckCommand(const Options& options, QString& error);

// Starts the core (real or simulated devices), runs the command, keeps the simulated state when
// asked. Returns the exit status; errors have gone to stderr as one line each.
int Run(const Options& options);

} // namespace cli
