// Helpers for widget tests: scripted dialogs, a private settings store, temporary files.
#pragma once

#include "core/base/MemorySettingsStore.h"
#include "core/base/Profile.h"
#include "gui/base/Prompts.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <deque>
#include <string>
#include <vector>

#ifndef _WIN32
#include <csignal>
#include <sys/resource.h>
#endif

// Waits (events running) until `actual == expected` or five seconds have passed, then checks it
// the GoogleTest way: Qt Test's own wait-and-compare macros would fail silently here.
#define EXPECT_EQ_SOON(actual, expected)                                                           \
    do {                                                                                           \
        (void)QTest::qWaitFor([&] { return (actual) == (expected); });                             \
        EXPECT_EQ(actual, expected);                                                               \
    } while (false)

// A test that needs a font (fonts-noto-cjk) or a program (poppler's pdftotext) skips, saying
// what is missing, on a machine without it: its absence is no fault of the program.
#define MIREKA_REQUIRE_FONT(family)                                                                \
    if (!QFontDatabase::families().contains(QStringLiteral(family)))                               \
    GTEST_SKIP() << "the font \"" family "\" is not installed"
#define MIREKA_REQUIRE_PROGRAM(name)                                                               \
    if (QStandardPaths::findExecutable(QStringLiteral(name)).isEmpty())                            \
    GTEST_SKIP() << "the program " name " is not installed"

namespace mireka::test {

// Answers message boxes and file dialogs from a script and records what was asked.
class FakePrompts : public Prompts {
public:
    FakePrompts() : previous_(&Prompts::Current()) { Prompts::SetCurrent(this); }
    ~FakePrompts() override { Prompts::SetCurrent(previous_ == this ? nullptr : previous_); }
    FakePrompts(const FakePrompts&) = delete;
    FakePrompts& operator=(const FakePrompts&) = delete;

    struct Asked {
        QString text;
        QMessageBox::Icon icon;
        QString caption;
    };
    struct FileAsked {
        QString directory; // the current directory when the dialog opened
        int filterIndex;
        QString initialName;
    };

    std::vector<Asked> messages;
    std::vector<FileAsked> fileDialogs;
    std::deque<QMessageBox::StandardButton> answers; // default: the first button offered
    std::deque<std::optional<FileChoice>> files;     // default: cancelled
    int beeps = 0;

    QMessageBox::StandardButton Message(QWidget*, const QString& text, QMessageBox::Icon icon,
                                        QMessageBox::StandardButtons buttons,
                                        const QString& caption) override {
        messages.push_back({text, icon, caption});
        if (!answers.empty()) {
            const auto a = answers.front();
            answers.pop_front();
            return a;
        }
        return (buttons & QMessageBox::Yes) ? QMessageBox::Yes : QMessageBox::Ok;
    }
    std::optional<FileChoice> OpenFile(QWidget*, const QString&, int filterIndex, const QString&,
                                       const QString& initialName) override {
        return NextFile(filterIndex, initialName);
    }
    std::optional<FileChoice> SaveFile(QWidget*, const QString& filters, int filterIndex,
                                       const QString& initialName, const QString& defaultExt,
                                       const QString& title) override {
        lastSave = {filters, defaultExt, title};
        return NextFile(filterIndex, initialName);
    }
    struct SaveAsked {
        QString filters, defaultExt, title;
    };
    SaveAsked lastSave; // what the last save dialog was opened with
    void Beep() override { ++beeps; }

private:
    std::optional<FileChoice> NextFile(int filterIndex, const QString& initialName) {
        fileDialogs.push_back({QDir::currentPath(), filterIndex, initialName});
        std::optional<FileChoice> next;
        if (!files.empty()) {
            next.swap(files.front());
            files.pop_front();
        }
        return next;
    }
    Prompts* previous_;
};

// A settings store of the test's own for the lifetime of the object. New documents are
// Shift_JIS, the program's own encoding, unless a test says otherwise.
struct PrivateSettings {
    PrivateSettings() {
        WriteProfileString("Settings", "NewDocumentEncoding", "Shift_JIS");
        WriteProfileString("Settings", "NewDocumentLineEnds", "CRLF");
    }
    MemorySettingsStore store;
    ScopedProfileStore scope{&store};
};

inline std::string Native(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

// The command line's words after the program's name: the file to open, if any.
inline std::vector<std::string> CommandLine(const QString& file = {}) {
    if (file.isEmpty()) return {};
    return {Native(file)};
}

inline void WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (f.open(QIODevice::WriteOnly)) f.write(bytes);
}

inline QByteArray ReadBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

#ifndef _WIN32
// Runs `write` with files limited to `bytes`, as a full disk stops a write half-way; what it
// returns is returned.
template <class Write>
auto UnderFileSizeLimit(rlim_t bytes, Write write) {
    struct rlimit saved {};
    getrlimit(RLIMIT_FSIZE, &saved);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &small);
    const auto result = write();
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);
    return result;
}
#endif

} // namespace mireka::test
