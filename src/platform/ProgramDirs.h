// Finds where the program lives and where it may write, once at start.
#pragma once

#include "core/app/Paths.h"

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

} // namespace mireka
