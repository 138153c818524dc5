// Gathers the facts of the environment report from the running system.
#pragma once

#include "core/toolchain/Environment.h"
#include "core/toolchain/Report.h"

#include <QProcessEnvironment>

namespace mireka {

// The project's version, "major.minor.patch".
[[nodiscard]] const char* ProgramVersionText() noexcept;

// The program, the system, the settings and the toolchains' files as they are now. Asks the
// gcc driver for its version, which may take up to kDriverQueryTimeoutMs the first time.
[[nodiscard]] ReportFacts GatherReportFacts(const BuildSettings& s, int toolchain,
                                            const Environment& env,
                                            const QProcessEnvironment& processEnv);

} // namespace mireka
