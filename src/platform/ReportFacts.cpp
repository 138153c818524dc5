// The report's facts: the executable, the project's version, uname or the Windows version,
// the physical memory, the interpreter, the settings and the drivers' files.
#include "platform/ReportFacts.h"

#include "core/toolchain/CommandLine.h"
#include "platform/DriverProbe.h"

#include <QCoreApplication>
#include <QFile>

#ifdef _WIN32
#include <QOperatingSystemVersion>
#include <windows.h>
#else
#include <sys/utsname.h>
#include <unistd.h>
#endif

#ifndef MIREKA_VERSION
#error "the build passes the project's version as MIREKA_VERSION"
#endif

namespace mireka {

namespace {

OsFacts CurrentOs() {
    OsFacts os;
#ifdef _WIN32
    const QOperatingSystemVersion v = QOperatingSystemVersion::current();
    os.platform = OsFacts::Platform::WindowsNt;
    os.major = static_cast<unsigned long>(std::max(0, v.majorVersion()));
    os.minor = static_cast<unsigned long>(std::max(0, v.minorVersion()));
    os.build = static_cast<unsigned long>(std::max(0, v.microVersion()));
#else
    struct utsname u {};
    if (::uname(&u) == 0) {
        os.platform = OsFacts::Platform::Posix;
        os.sysname = u.sysname;
        os.release = u.release;
        os.machine = u.machine;
    }
#endif
    return os;
}

std::uint64_t PhysicalMemory() {
#ifdef _WIN32
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    return GlobalMemoryStatusEx(&status) ? status.ullTotalPhys : 0;
#else
    const long pages = ::sysconf(_SC_PHYS_PAGES);
    const long pageSize = ::sysconf(_SC_PAGE_SIZE);
    if (pages <= 0 || pageSize <= 0) return 0;
    return static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(pageSize);
#endif
}

} // namespace

ReportFacts GatherReportFacts(const BuildSettings& s, int toolchain, const Environment& env,
                              const QProcessEnvironment& processEnv) {
    ReportFacts f;
    f.appPath = QFile::encodeName(QCoreApplication::applicationFilePath()).toStdString();
    f.version = ParseVersion(MIREKA_VERSION);
    f.os = CurrentOs();
    f.physicalMemory = PhysicalMemory();
    f.interpreter = GetCommandInterpreter(env).path;
    f.toolchain = toolchain;
    f.settings = s;
    f.vctkInstallDir = env.Get("VCToolkitInstallDir").value_or(std::string());
    ReadConfigFiles(f);
    f.gccVersion = FirstLine(DriverVersionText(s.m_strGccPath, processEnv));
    return f;
}

const char* ProgramVersionText() noexcept {
    return MIREKA_VERSION;
}

} // namespace mireka
