// The small system differences on Windows.
#include "platform/System.h"

#include "platform/ProgramDirs.h"
#include "platform/ProgramEnvironment.h"

#include <QOperatingSystemVersion>
#include <QProcessEnvironment>

#include <algorithm>

#include <windows.h>

namespace mireka {

namespace sys {

OsFacts CurrentOs() {
    OsFacts os;
    const QOperatingSystemVersion v = QOperatingSystemVersion::current();
    os.platform = OsFacts::Platform::WindowsNt;
    os.major = static_cast<unsigned long>(std::max(0, v.majorVersion()));
    os.minor = static_cast<unsigned long>(std::max(0, v.minorVersion()));
    os.build = static_cast<unsigned long>(std::max(0, v.microVersion()));
    return os;
}

std::uint64_t PhysicalMemory() {
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    return GlobalMemoryStatusEx(&status) ? status.ullTotalPhys : 0;
}

void ForEachEnvironmentVariable(const std::function<void(std::string name, std::string value)>& f) {
    const QProcessEnvironment system = QProcessEnvironment::systemEnvironment();
    for (const QString& key : system.keys())
        f(key.toLocal8Bit().toStdString(), system.value(key).toLocal8Bit().toStdString());
}

void StartInOwnProcessGroup(QProcess&) {}

void KillProcessGroup(qint64) {}

void TerminateProcessGroup(qint64) {}

bool ProcessGroupEnded(qint64) {
    return true;
}

void SetLaunchArguments(QProcess& process, const std::vector<std::string>&,
                        const std::string& parameters, bool newConsole) {
    process.setNativeArguments(
        QString::fromLocal8Bit(parameters.data(), static_cast<qsizetype>(parameters.size())));
    if (newConsole) {
        process.setCreateProcessArgumentsModifier(
            [](QProcess::CreateProcessArguments* args) { args->flags |= CREATE_NEW_CONSOLE; });
    }
}

std::span<const char* const> CalculatorNames() {
    static constexpr const char* kNames[] = {"calc.exe"};
    return kNames;
}

QString SystemManualRoot() {
    return {};
}

QSettings::Format SettingsFormat() {
    return QSettings::NativeFormat;
}

} // namespace sys

bool EnvironmentNameLess::operator()(std::string_view a, std::string_view b) const noexcept {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const auto fold = [](char c) {
            return static_cast<unsigned char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
        };
        if (fold(a[i]) != fold(b[i])) return fold(a[i]) < fold(b[i]);
    }
    return a.size() < b.size();
}

void FillInHome() {}

} // namespace mireka
