// What a compiler driver says of itself (`<driver> --version`), asked with a time limit and
// remembered per driver path, file size and modification time for the rest of the program's run.
#pragma once

#include <QProcessEnvironment>

#include <string>

namespace mireka {

// A driver that has not answered by then is ended: a hanging one must not hold up the
// interface or a compile for longer.
inline constexpr int kDriverQueryTimeoutMs = 2000;

// The standard output of `<driver> --version`; empty when it could not be started or did not
// end in time. Blocks for at most the time limit the first time a driver is asked.
[[nodiscard]] std::string DriverVersionText(const std::string& driver,
                                            const QProcessEnvironment& env,
                                            int timeoutMs = kDriverQueryTimeoutMs);

// The file is an MS-DOS or Windows program (it starts with "MZ"); false when it cannot be read.
[[nodiscard]] bool IsDosOrWindowsImage(const std::string& path);

// The driver names itself clang.
[[nodiscard]] bool IsClangDriver(const std::string& driver, const QProcessEnvironment& env);

// True the first time only in a run of the program: the clang notice is shown once.
[[nodiscard]] bool TakeClangNoticeTurn();

// Forgets every answer and the notice (tests).
void ForgetDriverProbes();

} // namespace mireka
