// The recovery store: background writes that a removal never outlives, files of live instances
// left alone, those of dead ones claimed once, and folders or files that cannot be used.
#include "platform/RecoveryStore.h"
#include "core/editor/TextBuffer.h"

#include "GuiTestSupport.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace mireka {
namespace {

using test::Native;
using test::ReadBytes;
using test::WriteBytes;

// Several chunks of every byte value.
std::string Text(int seed) {
    std::string s;
    for (int i = 0; i < 50000; ++i)
        s += static_cast<char>((i * 7 + seed) & 0xFF);
    return s;
}

QStringList Files(const QTemporaryDir& dir) {
    return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

std::string ReadText(const std::string& path) {
    const std::string file = ReadBytes(QFile::decodeName(path.c_str())).toStdString();
    const RecoveryHeader h = ParseRecovery(file);
    return h.error == RecoveryError::None ? file.substr(h.textOffset) : "(unusable)";
}

TEST(RecoveryStore, WritesTheSnapshotWhileTheBufferIsEdited) {
    QTemporaryDir dir;
    RecoveryStore store(Native(dir.path()));
    TextBuffer b(4096);
    b.SetText(Text(1));
    store.Schedule({"/doc/a\nb.c", 10, 20}, b.Snapshot());
    for (int i = 0; i < 100; ++i)
        b.Insert(i * 400, "edit");
    b.Erase(0, 30000);
    store.Flush();
    EXPECT_EQ(ReadText(store.DataPath()), Text(1));
    EXPECT_EQ(Files(dir), QStringList({QString::fromStdString(store.Id()) + ".lock",
                                       QString::fromStdString(store.Id()) + ".rcv"}));
}

TEST(RecoveryStore, ARemovalIsNeverUndoneByAnEarlierWrite) {
    QTemporaryDir dir;
    struct Case {
        const char* steps; // digit: schedule that text; R: remove
        int expected;      // -1: no file
    };
    const Case cases[] = {{"1R", -1}, {"12R", -1}, {"1R2", 2}, {"R1", 1}, {"123", 3}, {"1F2R", -1}};
    for (const Case& c : cases) {
        RecoveryStore store(Native(dir.path()));
        for (const char* s = c.steps; *s; ++s) {
            if (*s == 'R') {
                store.Remove();
            } else if (*s == 'F') {
                store.Flush();
            } else {
                TextBuffer b;
                b.SetText(Text(*s));
                store.Schedule({}, b.Snapshot());
            }
        }
        store.Flush();
        EXPECT_EQ(QFile::exists(QFile::decodeName(store.DataPath().c_str())), c.expected >= 0)
            << c.steps;
        if (c.expected >= 0) {
            EXPECT_EQ(ReadText(store.DataPath()), Text('0' + c.expected));
        }
    }
    EXPECT_TRUE(Files(dir).isEmpty()) << "a clean exit leaves nothing";
}

TEST(RecoveryStore, DeadInstancesFilesAreClaimedOnceReadAndDiscarded) {
    QTemporaryDir dir;
    const std::string folder = Native(dir.path());
    constexpr int kDead = 3;
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) { // an instance that is killed with its files in place
        std::vector<std::unique_ptr<RecoveryStore>> stores;
        for (int i = 0; i < kDead; ++i) {
            stores.push_back(std::make_unique<RecoveryStore>(folder));
            TextBuffer b;
            b.SetText(Text(i));
            stores.back()->Schedule({"/doc/" + std::to_string(i) + ".c", i, 100}, b.Snapshot());
            stores.back()->Flush();
        }
        (void)!write(ready[1], "x", 1);
        for (;;)
            pause();
    }
    struct Reaper {
        pid_t pid;
        void Kill() {
            if (pid > 0 && kill(pid, SIGKILL) == 0) waitpid(pid, nullptr, 0);
            pid = 0;
        }
        ~Reaper() { Kill(); }
    } reaper{child};
    close(ready[1]);
    char byte;
    ASSERT_EQ(read(ready[0], &byte, 1), 1);
    RecoveryStore first(folder);
    RecoveryStore second(folder);
    EXPECT_TRUE(first.FindOrphans().empty()) << "the instance is alive";
    reaper.Kill();
    WriteBytes(dir.filePath("gone.tmp"), "half a write");

    std::vector<RecoveryOrphan> a, b;
    std::thread other([&] { b = second.FindOrphans(); });
    a = first.FindOrphans();
    other.join();
    EXPECT_EQ(a.size() + b.size(), std::size_t{kDead}) << "each claimed by exactly one";
    for (auto& o : b)
        a.push_back(std::move(o));
    EXPECT_TRUE(second.FindOrphans().empty()) << "claims hold";
    a.pop_back(); // given up, not discarded: offered again
    EXPECT_EQ(second.FindOrphans().size(), 1u);
    EXPECT_FALSE(QFile::exists(dir.filePath("gone.tmp")));
    for (RecoveryOrphan& o : a) {
        const RecoveredText r = RecoveryStore::Read(o);
        ASSERT_EQ(r.error, RecoveryError::None) << r.message;
        const int i = static_cast<int>(r.info.document.diskSize);
        EXPECT_EQ(r.info.document, (RecoveryDocument{"/doc/" + std::to_string(i) + ".c", i, 100}));
        EXPECT_EQ(r.text, Text(i));
        EXPECT_TRUE(RecoveryStore::Discard(std::move(o)));
    }
    EXPECT_EQ(Files(dir).size(), 2u) << "only the orphan given up is left, with its lock";
}

TEST(RecoveryStore, AnUnwritableFolderIsReportedOnceUntilAWriteSucceeds) {
    QTemporaryDir dir;
    WriteBytes(dir.filePath("blocked"), "a file where a folder should be");
    std::vector<std::string> messages;
    RecoveryStore store(Native(dir.filePath("blocked/recovery")),
                        [&](const std::string& m) { messages.push_back(m); });
    const auto write = [&] {
        TextBuffer b;
        b.SetText("text");
        store.Schedule({}, b.Snapshot());
        store.Flush();
    };
    write();
    write();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(
        messages[0].rfind("復元用のフォルダー " + Native(dir.filePath("blocked/recovery")) +
                              " に書き込めません。パスの途中にフォルダーではない名前があります。",
                          0),
        0u)
        << messages[0];
    QFile::remove(dir.filePath("blocked"));
    write();
    EXPECT_EQ(ReadText(store.DataPath()), "text");
    ASSERT_TRUE(QDir(dir.path()).rename("blocked", "moved"));
    WriteBytes(dir.filePath("blocked"), "blocked again");
    write();
    EXPECT_EQ(messages.size(), 2u);
}

TEST(RecoveryStore, DamagedOrStrangeFilesAreReportedNotTrusted) {
    QTemporaryDir dir;
    RecoveryInfo info{{"/a.c", 1, 2}, 3, "1", 4, RecoveryChecksum("text")};
    const std::string good = EncodeRecoveryHeader(info) + "text";
    struct Case {
        const char* name;
        std::string bytes;
        RecoveryError error;
    };
    const Case cases[] = {
        {"good", good, RecoveryError::None},
        {"flipped", good.substr(0, good.size() - 1) + "T", RecoveryError::Corrupt},
        {"cut", good.substr(0, good.size() - 1), RecoveryError::Corrupt},
        {"foreign", "#include <stdio.h>\n", RecoveryError::Foreign},
        {"newer", "MIREKA-RECOVERY 9\n", RecoveryError::Newer},
    };
    for (const Case& c : cases)
        WriteBytes(dir.filePath(QString(c.name) + ".rcv"), QByteArray::fromStdString(c.bytes));
    QDir(dir.path()).mkdir("folder.rcv");
    RecoveryStore store(Native(dir.path()));
    std::vector<RecoveryOrphan> orphans = store.FindOrphans();
    ASSERT_EQ(orphans.size(), std::size(cases));
    for (const Case& c : cases) {
        const std::string path = Native(dir.filePath(QString(c.name) + ".rcv"));
        const auto o = std::find_if(orphans.begin(), orphans.end(),
                                    [&](const RecoveryOrphan& x) { return x.Path() == path; });
        ASSERT_NE(o, orphans.end()) << c.name;
        const RecoveredText r = RecoveryStore::Read(*o);
        EXPECT_EQ(r.error, c.error) << c.name;
        EXPECT_EQ(r.message, RecoveryErrorText(c.error, path));
        EXPECT_EQ(r.text, c.error == RecoveryError::None ? "text" : "");
    }
    EXPECT_FALSE(QFile::exists(dir.filePath("folder.lock")));
}

} // namespace
} // namespace mireka
