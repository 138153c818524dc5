// The small system differences on POSIX systems.
#include "platform/System.h"

#include "platform/ProgramDirs.h"
#include "platform/ProgramEnvironment.h"

#include <QDir>
#include <QFile>

#include <csignal>
#include <pwd.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <vector>

namespace mireka {

namespace sys {

OsFacts CurrentOs() {
    OsFacts os;
    struct utsname u {};
    if (::uname(&u) == 0) {
        os.platform = OsFacts::Platform::Posix;
        os.sysname = u.sysname;
        os.release = u.release;
        os.machine = u.machine;
    }
    return os;
}

std::uint64_t PhysicalMemory() {
    const long pages = ::sysconf(_SC_PHYS_PAGES);
    const long pageSize = ::sysconf(_SC_PAGE_SIZE);
    if (pages <= 0 || pageSize <= 0) return 0;
    return static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(pageSize);
}

void ForEachEnvironmentVariable(const std::function<void(std::string name, std::string value)>& f) {
    // The bytes as they are: a value that is not valid text in the locale stays intact.
    for (char** e = environ; e && *e; ++e) {
        const std::string_view entry(*e);
        const std::size_t eq = entry.find('=');
        if (eq == std::string_view::npos || eq == 0) continue;
        f(std::string(entry.substr(0, eq)), std::string(entry.substr(eq + 1)));
    }
}

void StartInOwnProcessGroup(QProcess& process) {
    process.setChildProcessModifier([] { ::setpgid(0, 0); });
}

void KillProcessGroup(qint64 pid) {
    if (pid > 0) ::kill(-static_cast<pid_t>(pid), SIGKILL);
}

void TerminateProcessGroup(qint64 pid) {
    if (pid > 0) ::kill(-static_cast<pid_t>(pid), SIGTERM);
}

#ifdef __linux__
namespace {

// True when some member of the group is still running. An orphan that has ended stays a zombie
// until the system reaps it, which in a container may be never; it counts as ended.
bool GroupRuns(pid_t group) {
    QDir proc(QStringLiteral("/proc"));
    const QStringList pids = proc.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    bool readAny = false;
    for (const QString& name : pids) {
        bool isPid = false;
        name.toInt(&isPid);
        if (!isPid) continue;
        QFile stat(proc.filePath(name) + QStringLiteral("/stat"));
        if (!stat.open(QIODevice::ReadOnly)) continue;
        readAny = true;
        // "pid (name) state ppid pgrp …"; the name may itself hold spaces and parentheses.
        const QByteArray line = stat.readAll();
        const qsizetype close = line.lastIndexOf(')');
        if (close < 0) continue;
        const QList<QByteArray> fields = line.mid(close + 2).split(' ');
        if (fields.size() < 3 || fields[2].toLongLong() != group) continue;
        if (fields[0] != "Z") return true;
    }
    return !readAny; // without /proc, only the grace time tells
}

} // namespace
#endif

bool ProcessGroupEnded(qint64 pid) {
    if (pid <= 0 || ::kill(-static_cast<pid_t>(pid), 0) != 0) return true;
#ifdef __linux__
    return !GroupRuns(static_cast<pid_t>(pid));
#else
    return false;
#endif
}

void SetLaunchArguments(QProcess& process, const std::vector<std::string>& arguments,
                        const std::string&, bool) {
    QStringList args;
    for (const std::string& a : arguments)
        args << QString::fromLocal8Bit(a.data(), static_cast<qsizetype>(a.size()));
    process.setArguments(args);
}

std::span<const char* const> CalculatorNames() {
    static constexpr const char* kNames[] = {
        "gnome-calculator", "kcalc",       "mate-calc", "galculator",
        "qalculate-gtk",    "speedcrunch", "xcalc"};
    return kNames;
}

QString SystemManualRoot() {
    return QStringLiteral("/usr/share/man");
}

QSettings::Format SettingsFormat() {
    return QSettings::IniFormat;
}

} // namespace sys

bool EnvironmentNameLess::operator()(std::string_view a, std::string_view b) const noexcept {
    return a < b;
}

void FillInHome() {
    if (!qEnvironmentVariableIsEmpty("HOME")) return;
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(static_cast<std::size_t>(size > 0 ? size : 16384));
    struct passwd entry {};
    struct passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
        found->pw_dir && *found->pw_dir)
        ::setenv("HOME", found->pw_dir, 1);
}

} // namespace mireka
