// Helpers for the build tests: the stand-in toolchains' call log, a recording terminal and the
// program environment put back after each test.
#pragma once

#include "platform/ProgramEnvironment.h"

#include <QDir>
#include <QFile>
#include <QString>
#include <QTest>

#include <string>
#include <vector>

namespace mireka::test {

inline QString FixturesDir() {
    return QStringLiteral(MIREKA_FIXTURES);
}

inline std::string Fixture(const char* name) {
    return QFile::encodeName(QDir(FixturesDir()).filePath(QString::fromLatin1(name))).toStdString();
}

// One call recorded by a stand-in toolchain or program.
struct FixtureCall {
    std::string tool;
    std::string cwd;
    std::vector<std::string> args;
};

// Reads the log the stand-ins append to (see tests/fixtures/fixture-lib.sh): every value is
// given with its length, so any byte may appear in it.
inline std::vector<FixtureCall> ReadFixtureLog(const QString& path) {
    QFile f(path);
    std::vector<FixtureCall> calls;
    if (!f.open(QIODevice::ReadOnly)) return calls;
    const std::string log = f.readAll().toStdString();
    std::size_t pos = 0;
    const auto line = [&]() {
        const std::size_t nl = log.find('\n', pos);
        if (nl == std::string::npos) {
            pos = log.size();
            return std::string();
        }
        std::string l = log.substr(pos, nl - pos);
        pos = nl + 1;
        return l;
    };
    const auto sized = [&](const std::string& header, std::size_t skip) {
        const std::size_t len = std::stoul(header.substr(skip));
        std::string value = log.substr(pos, len);
        pos += len + 1; // the value and its line end
        return value;
    };
    while (pos < log.size()) {
        FixtureCall call;
        const std::string tool = line();
        if (tool.rfind("tool ", 0) != 0) break;
        call.tool = tool.substr(5);
        call.cwd = sized(line(), 4);
        const std::size_t argc = std::stoul(line().substr(5));
        for (std::size_t i = 0; i < argc; ++i)
            call.args.push_back(sized(line(), 4));
        if (line() != "end") break;
        calls.push_back(std::move(call));
    }
    return calls;
}

// A terminal emulator stand-in: records its directory and arguments into $MIREKA_TERMINAL_LOG,
// runs what follows "-e" with the null device as input and its output in "<log>.out", and
// ends the log with "exit N".
inline constexpr char kRecordingTerminal[] = R"SH(#!/bin/sh
log=${MIREKA_TERMINAL_LOG:?}
{
    printf 'cwd %s\n' "$(pwd)"
    for a in "$@"; do printf 'arg %s\n' "$a"; done
} >>"$log"
[ "$1" = "-e" ] && shift
"$@" >"$log.out" 2>&1 </dev/null
printf 'exit %d\n' "$?" >>"$log"
)SH";

inline bool WriteScript(const QString& path, const QByteArray& text) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    f.write(text);
    f.close();
    return f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                            QFileDevice::ExeOwner);
}

// Runs the event loop until `cond` holds; a test failure when it does not within `ms`. (Qt's
// QTRY macros report to Qt Test, which these GoogleTest tests would not notice.)
#define MIREKA_WAIT_FOR(cond, ms)                                                                  \
    ASSERT_TRUE(QTest::qWaitFor([&] { return static_cast<bool>(cond); }, ms))                      \
        << "waited in vain for: " #cond

// Puts the program environment back as the process has it, whatever a test changed.
struct EnvironmentReset {
    EnvironmentReset() { ProgramEnvironment::Instance().Reload(); }
    ~EnvironmentReset() { ProgramEnvironment::Instance().Reload(); }
    EnvironmentReset(const EnvironmentReset&) = delete;
    EnvironmentReset& operator=(const EnvironmentReset&) = delete;
};

} // namespace mireka::test
