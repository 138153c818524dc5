// The report's facts: the executable, the project's version, uname or the Windows version,
// the physical memory, the interpreter, the settings and the drivers' files.
#include "platform/ReportFacts.h"

#include "core/toolchain/CommandLine.h"
#include "platform/DriverProbe.h"
#include "platform/InFile.h"
#include "platform/System.h"

#include <QCoreApplication>
#include <QFile>

#ifndef MIREKA_VERSION
#error "the build passes the project's version as MIREKA_VERSION"
#endif

namespace mireka {

ReportFacts GatherReportFacts(const BuildSettings& s, int toolchain, const Environment& env,
                              const QProcessEnvironment& processEnv) {
    ReportFacts f;
    f.appPath = QFile::encodeName(QCoreApplication::applicationFilePath()).toStdString();
    f.version = ParseVersion(MIREKA_VERSION);
    f.os = sys::CurrentOs();
    f.physicalMemory = sys::PhysicalMemory();
    f.interpreter = GetCommandInterpreter(env).path;
    f.toolchain = toolchain;
    f.settings = s;
    f.vctkInstallDir = env.Get("VCToolkitInstallDir").value_or(std::string());
    ReadConfigFiles(f, PlatformFileReader());
    f.gccVersion = FirstLine(DriverVersionText(s.m_strGccPath, processEnv));
    return f;
}

const char* ProgramVersionText() noexcept {
    return MIREKA_VERSION;
}

} // namespace mireka
