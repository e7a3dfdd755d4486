#pragma once
// The spooler's printer driver directory of an environment.
#include "engine/paths.h"

// Asks the spooler for the directory (without a trailing backslash). On failure shows "Can't find
// the current Path!" without owner and returns false with the spooler's last error.
bool LookUpDriverDirectory(const char* environment, char (&directory)[kEnginePathSize]);
