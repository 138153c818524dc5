// Finds where the program lives and where it may write, once at start.
#pragma once

#include "core/base/Paths.h"

#include <QString>

namespace mireka {

// The directories for an executable in `exeDir`. Shipped data is looked up in `exeDir`, then
// in ../share/mireka beside it. When that folder exists the program is installed and writes to
// `userDataDir` (created when needed); otherwise `exeDir` is written to when a file can be
// created there, else `userDataDir` is.
[[nodiscard]] ProgramDirectories ChooseProgramDirectories(const QString& exeDir,
                                                          const QString& userDataDir);

// Computes the directories of the running program and hands them to the core. The environment
// variable MIREKA_PROGRAM_DIR, when set, stands for all of them (tests point it at a temporary
// directory, which is created when needed). Returns what was set.
ProgramDirectories InitProgramDirectories();

// Sets HOME, when it is unset or empty, to the account's home folder from the user database:
// settings and per-user data then land where they belong, not in the root folder. Call before
// anything asks Qt for a standard location.
void FillInHome();

} // namespace mireka
