// The QSettings store, the program directories, safe whole-file writes and checked reads.
#include "core/base/ErrorText.h"
#include "core/base/MemorySettingsStore.h"
#include "core/base/Paths.h"
#include "core/base/Profile.h"
#include "core/editor/TextBuffer.h"
#include "platform/AtomicFile.h"
#include "platform/InFile.h"
#include "platform/LargeTextMemory.h"
#include "platform/ProgramDirs.h"
#include "platform/QtSettingsStore.h"
#include "platform/SafeFile.h"

#include "GuiTestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <random>
#include <thread>
#include <variant>

#include <climits>

#ifndef _WIN32
#include <csignal>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace mireka {
namespace {

std::string Local(const QString& s) {
    return s.toLocal8Bit().toStdString();
}

QByteArray ReadRaw(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteRaw(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

bool RunningAsRoot() {
#ifndef _WIN32
    return geteuid() == 0;
#else
    return false;
#endif
}

// ---- settings store ----

TEST(QtSettingsStore, ValuesSurviveReopeningTheFile) {
    QTemporaryDir dir;
    const QString ini = dir.filePath("Mireka.ini");
    const std::string japanese =
        "C:\\\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e\\"; // C:\日本語\ in UTF-8
    const std::string sjis = "\x95\x5c\x8e\xa6";      // 表示 in Shift_JIS
    const std::string awkward = "@a, \"b\"=c;\n\td ";
    {
        QtSettingsStore store(ini);
        EXPECT_TRUE(store.WriteInt("Settings", "FilterIndex", 3));
        EXPECT_TRUE(store.WriteInt("Settings", "Min", INT_MIN));
        EXPECT_TRUE(store.WriteInt("Settings", "Max", INT_MAX));
        EXPECT_TRUE(store.WriteString("Settings", "Directory", japanese));
        EXPECT_TRUE(store.WriteString("Parameter List", "param1", sjis));
        EXPECT_TRUE(store.WriteString("Command List", "command1", awkward));
        EXPECT_TRUE(store.WriteString("Settings", "Empty", ""));
        EXPECT_TRUE(store.WriteString("Recent File List", "File1", "/src/a.c"));
        EXPECT_TRUE(store.WriteString("Settings", "BCC Compiler", "C:\\BCC55\\BIN\\BCC32.EXE"));
        EXPECT_TRUE(store.WriteInt("BarState-SCBar-124", "sizeHorzCX", 250));
        EXPECT_TRUE(store.WriteString("BarState-Summary", "Bars", "2"));
        EXPECT_TRUE(store.Sync());
    }
    // Text the locale can carry is stored as readable text.
    EXPECT_TRUE(ReadRaw(ini).contains("\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e"));

    QtSettingsStore store(ini);
    EXPECT_EQ(store.ReadInt("Settings", "FilterIndex"), 3);
    EXPECT_EQ(store.ReadInt("Settings", "Min"), INT_MIN);
    EXPECT_EQ(store.ReadInt("Settings", "Max"), INT_MAX);
    EXPECT_EQ(store.ReadString("Settings", "Directory"), japanese);
    EXPECT_EQ(store.ReadString("Parameter List", "param1"), sjis);
    EXPECT_EQ(store.ReadString("Command List", "command1"), awkward);
    EXPECT_EQ(store.ReadString("Settings", "Empty"), "");
    EXPECT_EQ(store.ReadString("Recent File List", "File1"), "/src/a.c");
    EXPECT_EQ(store.ReadString("Settings", "BCC Compiler"), "C:\\BCC55\\BIN\\BCC32.EXE");
    EXPECT_EQ(store.ReadInt("BarState-SCBar-124", "sizeHorzCX"), 250);
    EXPECT_EQ(store.ReadString("BarState-Summary", "Bars"), "2");
    EXPECT_EQ(store.ReadString("Settings", "Missing"), std::nullopt);
    EXPECT_EQ(store.ReadInt("Recent File List", "FilterIndex"), std::nullopt);
}

// The fake that other tests use must answer as the real store does, before and after the file
// is read again.
TEST(QtSettingsStore, TheMemoryStoreAnswersAlike) {
    struct Write {
        const char* entry;
        std::variant<int, const char*> value;
    };
    const Write writes[] = {
        {"Int", 8},           {"Negative", -3}, {"Numeric", "42"},       {"Spaced", " 7 "},
        {"Text", "FixedSys"}, {"Empty", ""},    {"Huge", "99999999999"}, {"Hex", "0x1F"}};
    QTemporaryDir dir;
    const QString ini = dir.filePath("Mireka.ini");
    MemorySettingsStore memory;
    auto real = std::make_unique<QtSettingsStore>(ini);
    for (const Write& w : writes) {
        for (SettingsStore* store :
             {static_cast<SettingsStore*>(&memory), static_cast<SettingsStore*>(real.get())}) {
            if (const int* n = std::get_if<int>(&w.value))
                store->WriteInt("Settings", w.entry, *n);
            else
                store->WriteString("Settings", w.entry, std::get<const char*>(w.value));
        }
    }
    for (int pass = 0; pass < 2; ++pass) {
        for (const Write& w : writes) {
            EXPECT_EQ(real->ReadInt("Settings", w.entry), memory.ReadInt("Settings", w.entry))
                << w.entry << " pass " << pass;
            EXPECT_EQ(real->ReadString("Settings", w.entry), memory.ReadString("Settings", w.entry))
                << w.entry << " pass " << pass;
        }
        ASSERT_TRUE(real->Sync());
        real = std::make_unique<QtSettingsStore>(ini);
    }
    EXPECT_EQ(memory.ReadInt("Settings", "Numeric"), 42);
    EXPECT_EQ(memory.ReadString("Settings", "Int"), "8");
}

TEST(QtSettingsStore, MalformedFilesReadAsMissingValues) {
    QTemporaryDir dir;
    const QString ini = dir.filePath("Mireka.ini");
    WriteRaw(ini, "[Settings]\n"
                  "TabWidth=abc\n"
                  "IsLCC=12abc\n"
                  "Huge=99999999999\n"
                  "Spaced=  42  \n"
                  "Negative=-7\n"
                  "Hex=0x10\n"
                  "WindowPos=1,2,3,4,5\n"
                  "Rect=@Rect(1 2 3 4)\n"
                  "Broken=@Variant(\\0\\0\\0\\x7f\\0\\0\\0\n"
                  "Bytes=@ByteArray(\\xff\\x01\n"
                  "this line has no equals sign\n"
                  "=no key\n"
                  "[unterminated section\n"
                  "Font=x\n"
                  "[Recent File List]\n"
                  "File1=/src/a.c\n"
                  "\xff\xfe=bad bytes\n");
    QtSettingsStore store(ini);
    EXPECT_EQ(store.ReadInt("Settings", "TabWidth"), std::nullopt);
    EXPECT_EQ(store.ReadInt("Settings", "IsLCC"), std::nullopt);
    EXPECT_EQ(store.ReadInt("Settings", "Huge"), std::nullopt);
    EXPECT_EQ(store.ReadInt("Settings", "Spaced"), 42);
    EXPECT_EQ(store.ReadInt("Settings", "Negative"), -7);
    EXPECT_EQ(store.ReadInt("Settings", "Hex"), std::nullopt);
    EXPECT_EQ(store.ReadString("Settings", "WindowPos"), "1,2,3,4,5");
    EXPECT_EQ(store.ReadString("Settings", "Rect"), std::nullopt);
    EXPECT_EQ(store.ReadInt("Settings", "Rect"), std::nullopt);
    (void)store.ReadString("Settings", "Broken");
    (void)store.ReadInt("Settings", "Bytes");
    EXPECT_EQ(store.ReadString("Recent File List", "File1"), "/src/a.c");

    // Through the profile functions the defaults come back, and the file stays writable.
    ScopedProfileStore scope(&store);
    EXPECT_EQ(GetProfileInt("Settings", "TabWidth", 4), 4);
    EXPECT_EQ(GetProfileString("Settings", "Rect", "def"), "def");
    EXPECT_TRUE(WriteProfileInt("Settings", "TabWidth", 8));
    EXPECT_TRUE(store.Sync());
    EXPECT_EQ(QtSettingsStore(ini).ReadInt("Settings", "TabWidth"), 8);
    EXPECT_EQ(QtSettingsStore(ini).ReadString("Recent File List", "File1"), "/src/a.c");
}

TEST(QtSettingsStore, FiftyMegabytesOfGarbageReadAsDefaults) {
    QTemporaryDir dir;
    const QString ini = dir.filePath("Mireka.ini");
    std::string garbage(std::size_t{50} << 20, '\0');
    std::mt19937_64 rng(3);
    for (char& c : garbage)
        c = static_cast<char>(rng());
    WriteRaw(ini, QByteArray(garbage.data(), static_cast<qsizetype>(garbage.size())));
    const auto start = std::chrono::steady_clock::now();
    QtSettingsStore store(ini);
    ScopedProfileStore scope(&store);
    EXPECT_EQ(GetProfileInt("Settings", "TabWidth", 4), 4);
    EXPECT_EQ(GetProfileString("Settings", "Font", "def"), "def");
    // Settings are written and read again as usual.
    EXPECT_TRUE(WriteProfileInt("Settings", "TabWidth", 8));
    EXPECT_EQ(GetProfileInt("Settings", "TabWidth", 4), 8);
    std::printf("50 MB of garbage read in %.0f ms\n",
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                    .count());
}

TEST(QtSettingsStore, DeletesSectionsAndEntries) {
    QTemporaryDir dir;
    const QString ini = dir.filePath("Mireka.ini");
    {
        QtSettingsStore store(ini);
        ScopedProfileStore scope(&store);
        for (const char* e : {"File1", "File2", "File3", "File4"})
            WriteProfileString("Recent File List", e, "/src/x.c");
        WriteProfileString("Recent File", "File1", "kept: only a prefix of the deleted name");
        WriteProfileInt("Settings", "PreviewPages", 2);
        WriteProfileString("Parameter List", "param1", "a");
        WriteProfileString("Parameter List", "param2", "b");

        EXPECT_TRUE(WriteProfileString("Recent File List", nullptr, nullptr));
        EXPECT_TRUE(WriteProfileString("Parameter List", "param1", nullptr));
        WriteProfileString("Recent File List", "File1", "/src/new.c");
        EXPECT_TRUE(store.Sync());
    }
    QtSettingsStore store(ini);
    EXPECT_EQ(store.ReadString("Recent File List", "File1"), "/src/new.c");
    for (const char* e : {"File2", "File3", "File4"})
        EXPECT_EQ(store.ReadString("Recent File List", e), std::nullopt) << e;
    EXPECT_TRUE(store.ReadString("Recent File", "File1").has_value());
    EXPECT_EQ(store.ReadInt("Settings", "PreviewPages"), 2);
    EXPECT_EQ(store.ReadString("Parameter List", "param1"), std::nullopt);
    EXPECT_EQ(store.ReadString("Parameter List", "param2"), "b");
}

TEST(QtSettingsStore, RefusesNamesThatWouldNestGroups) {
    QTemporaryDir dir;
    QtSettingsStore store(dir.filePath("Mireka.ini"));
    EXPECT_TRUE(store.WriteString("Settings", "Compiler", "lcc"));
    EXPECT_FALSE(store.WriteString("Settings/Compiler", "x", "y"));
    EXPECT_FALSE(store.WriteInt("Settings", "a\\b", 1));
    EXPECT_FALSE(store.WriteInt("", "Entry", 1));
    EXPECT_FALSE(store.WriteInt("Settings", "", 1));
    EXPECT_FALSE(store.DeleteSection("Settings/Compiler"));
    EXPECT_FALSE(store.DeleteEntry("Settings", "Compiler/"));
    EXPECT_EQ(store.ReadString("Settings", "Compiler"), "lcc");
    EXPECT_EQ(store.ReadString("Settings/Compiler", ""), std::nullopt);
}

#ifndef _WIN32
TEST(QtSettingsStore, AFileThatCannotBeWrittenFailsWrites) {
    QTemporaryDir dir;
    const QString blocker = dir.filePath("not-a-folder");
    WriteRaw(blocker, "x");
    QtSettingsStore store(blocker + "/Mireka.ini");
    EXPECT_FALSE(store.WriteInt("Settings", "TabWidth", 8));
    EXPECT_FALSE(store.WriteString("Settings", "Directory", "/src/"));
    EXPECT_FALSE(store.DeleteSection("Settings"));
    EXPECT_EQ(store.ReadInt("Settings", "TabWidth"), std::nullopt);
}
#endif

// ---- program directories ----

class ProgramDirsTest : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = GetProgramDirectories();
        hadOverride_ = qEnvironmentVariableIsSet("MIREKA_PROGRAM_DIR");
        override_ = qgetenv("MIREKA_PROGRAM_DIR");
    }
    void TearDown() override {
        SetProgramDirectories(saved_);
        if (hadOverride_)
            qputenv("MIREKA_PROGRAM_DIR", override_);
        else
            qunsetenv("MIREKA_PROGRAM_DIR");
    }
    QTemporaryDir dir_;

private:
    ProgramDirectories saved_;
    bool hadOverride_ = false;
    QByteArray override_;
};

TEST_F(ProgramDirsTest, OverridePointsEverythingAtOneDirectory) {
    const QString home = dir_.filePath("program");
    qputenv("MIREKA_PROGRAM_DIR", home.toLocal8Bit());
    const ProgramDirectories dirs = InitProgramDirectories();
    const std::string expected = Local(home) + "/";
    EXPECT_TRUE(QFileInfo(home).isDir());
    EXPECT_EQ(dirs.writable, expected);
    EXPECT_EQ(GetModuleDir(), expected);
    EXPECT_EQ(MakeModulePath("do_exe.sh"), expected + "do_exe.sh");
    WriteRaw(home + "/LSIC86.TXT", "printf\n");
    EXPECT_EQ(FindDataFile("LSIC86.TXT"), expected + "LSIC86.TXT");
    EXPECT_TRUE(FileExists(FindDataFile("LSIC86.TXT")));
}

TEST_F(ProgramDirsTest, WritableExecutableDirectoryIsUsedForWrites) {
    const QString bin = dir_.filePath("bin");
    QDir().mkpath(bin);
    const ProgramDirectories dirs = ChooseProgramDirectories(bin, dir_.filePath("user"));
    EXPECT_EQ(dirs.executable, Local(bin));
    EXPECT_EQ(dirs.writable, Local(bin));
    ASSERT_EQ(dirs.data.size(), 2u);
    EXPECT_EQ(dirs.data[0], Local(bin));
    EXPECT_EQ(dirs.data[1], Local(dir_.filePath("share/mireka")));
    EXPECT_FALSE(QFileInfo::exists(dir_.filePath("user")));
    EXPECT_EQ(QDir(bin).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).size(),
              0); // the probe leaves nothing behind

    // Installed (share/mireka beside bin), it writes to the user's folder even in a prefix the
    // user owns.
    QDir().mkpath(dir_.filePath("share/mireka"));
    const ProgramDirectories installed = ChooseProgramDirectories(bin, dir_.filePath("user"));
    EXPECT_EQ(installed.writable, Local(dir_.filePath("user")));
    EXPECT_EQ(installed.data, dirs.data);
}

TEST_F(ProgramDirsTest, UnwritableExecutableDirectoryFallsBackToUserData) {
    // A directory under a regular file can never be written, not even by root.
    const QString blocker = dir_.filePath("file");
    WriteRaw(blocker, "x");
    const QString user = dir_.filePath("user/data");
    ProgramDirectories dirs = ChooseProgramDirectories(blocker + "/bin", user);
    EXPECT_EQ(dirs.writable, Local(user));
    EXPECT_TRUE(QFileInfo(user).isDir());
    // No executable directory: no data directory either, never the current one.
    EXPECT_TRUE(ChooseProgramDirectories(QString(), user).data.empty());

#ifndef _WIN32
    if (!RunningAsRoot()) {
        const QString bin = dir_.filePath("readonly-bin");
        QDir().mkpath(bin);
        QFile::setPermissions(bin, QFile::ReadOwner | QFile::ExeOwner);
        dirs = ChooseProgramDirectories(bin, user);
        QFile::setPermissions(bin, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        EXPECT_EQ(dirs.writable, Local(user));
        EXPECT_EQ(dirs.data[0], Local(bin));
    }
#endif
}

#ifndef _WIN32
TEST(FillInHome, AnUnsetOrEmptyHomeBecomesTheAccountsAndASetOneStays) {
    const QByteArray saved = qgetenv("HOME");
    const struct passwd* account = ::getpwuid(::getuid());
    ASSERT_NE(account, nullptr);
    for (const char* before : {static_cast<const char*>(nullptr), "", "/some/where"}) {
        if (before)
            qputenv("HOME", before);
        else
            qunsetenv("HOME");
        FillInHome();
        EXPECT_EQ(qgetenv("HOME"),
                  before && *before ? QByteArray(before) : QByteArray(account->pw_dir));
    }
    qputenv("HOME", saved);
}
#endif

// ---- safe files ----

// ---- storage of large texts ----

TEST(LargeTextMemory, LargeTextsKeepEveryByteThroughEditsSnapshotsAndReuse) {
    UseHugePagesForLargeTexts(); // the test program has done so already; once more is harmless
    ASSERT_NE(LargeTextMemory(), nullptr);
    // Over two regions' worth, with line ends, so slots are carved, freed and carved again.
    std::string text;
    for (int i = 0; text.size() < (std::size_t{40} << 20); ++i)
        text += "line " + std::to_string(i) + "\r\n";
    TextSnapshot kept;
    for (int round = 0; round < 2; ++round) {
        TextBuffer b;
        b.SetText(text);
        ASSERT_EQ(b.Length(), static_cast<Offset>(text.size()));
        EXPECT_EQ(b.LineText(Line(Line(123456))), "line 123456");
        b.Insert(b.Length() / 2, "x"); // a chunk copied out of the region
        b.Erase(b.Length() / 2, b.Length() / 2 + 1);
        EXPECT_TRUE(b.Text() == text);
        if (round == 0) kept = b.Snapshot(); // outlives its buffer, read on another thread
    }
    std::string seen;
    std::thread reader([&] { seen = kept.Text(); });
    reader.join();
    EXPECT_TRUE(seen == text);
}

#ifndef _WIN32
TEST(SafeFile, ASaveKilledAtAnyMomentLeavesTheOldOrTheNewFileAndNothingElse) {
    // In memory where the system has such a folder: on a disk each save's flush takes a second,
    // and 200 of them outlast a test run (the rule is the same there, and was seen to hold).
    QTemporaryDir dir(QDir(QStringLiteral("/dev/shm")).exists()
                          ? QStringLiteral("/dev/shm/mireka-save-XXXXXX")
                          : QDir::tempPath() + QStringLiteral("/mireka-save-XXXXXX"));
    ASSERT_TRUE(dir.isValid());
    const std::string path = Local(dir.filePath("a.c"));
    // Two 50 MB texts that differ in every line and in length.
    std::string texts[2];
    for (int t = 0; t < 2; ++t)
        while (texts[t].size() < (std::size_t{50} << 20) + static_cast<std::size_t>(t) * 4096)
            texts[t] += t ? "int new_line = 1;\r\n" : "int old_line;\r\n";
    std::string error;
    ASSERT_TRUE(WriteFileSafely(path, texts[0], &error)) << error;
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(WriteFileSafely(path, texts[1], &error)) << error;
    const auto save = std::chrono::steady_clock::now() - start;
    std::printf("one save of 50 MB: %.0f ms\n",
                std::chrono::duration<double, std::milli>(save).count());

    std::mt19937 rng(20);
    int seen[2] = {0, 0};
    for (int round = 0; round < 200; ++round) {
        int saved[2];
        ASSERT_EQ(::pipe(saved), 0);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) { // saves one text, then the other, again and again, until killed
            ::close(saved[0]);
            for (int t = round & 1;; t ^= 1)
                if (WriteFileSafely(path, texts[t], nullptr) && ::write(saved[1], "s", 1) < 0)
                    ::_exit(1);
        }
        ::close(saved[1]);
        // The kill falls after one whole save, on a busy machine too; which text the next
        // save writes changes from round to round, so both outcomes are met.
        char byte = 0;
        ASSERT_EQ(::read(saved[0], &byte, 1), 1) << "round " << round << ": no save completed";
        ::close(saved[0]);
        std::uniform_int_distribution<long long> when(0, 2 * save.count());
        std::this_thread::sleep_for(std::chrono::steady_clock::duration(when(rng)));
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        // Compared piece by piece: a fresh 50 MB buffer a round would cost more than the save.
        std::size_t size = 0;
        bool same[2] = {true, true};
        ASSERT_TRUE(ReadFileInPieces(
            path,
            [&](std::string_view piece) {
                for (int t = 0; t < 2; ++t)
                    same[t] = same[t] && texts[t].compare(size, piece.size(), piece) == 0;
                size += piece.size();
                return same[0] || same[1];
            },
            &error))
            << error;
        const int which = same[0] && size == texts[0].size()   ? 0
                          : same[1] && size == texts[1].size() ? 1
                                                               : -1;
        ASSERT_NE(which, -1) << "round " << round << ": a file of " << size << " bytes";
        ++seen[which];
        // A kill in the moment between naming the new file and renaming it leaves that name;
        // the next save removes it, so leftovers never pile up.
        ASSERT_LE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System).size(), 2)
            << "round " << round << ": temporaries pile up beside the file";
    }
    WriteRaw(dir.filePath(".a.c.0123abcd"), "left by a save killed before its rename");
    ASSERT_TRUE(WriteFileSafely(path, texts[0], &error)) << error;
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System).size(), 1);
    EXPECT_GT(seen[0], 0);
    EXPECT_GT(seen[1], 0);
}
#endif

// The recovery copies' way: a fixed name for the new file, owner-only permissions, and a write
// given up half way that leaves nothing.
TEST(AtomicFile, AFixedNameForTheNewFileAndAWriteGivenUp) {
    QTemporaryDir dir;
    const std::string target = Local(dir.filePath("a.rec")), temp = Local(dir.filePath("a.tmp"));
    WriteRaw(dir.filePath("a.tmp"), "left by a killed run");
    {
        AtomicFile file(target, {temp, 0600});
        file.Write("half");
    }
    EXPECT_FALSE(QFile::exists(dir.filePath("a.rec")));
    EXPECT_FALSE(QFile::exists(dir.filePath("a.tmp")));
    for (const char* text : {"one", "two"}) {
        AtomicFile file(target, {temp, 0600});
        file.Write(text);
        EXPECT_FALSE(file.Commit());
        EXPECT_EQ(ReadRaw(dir.filePath("a.rec")), text);
        EXPECT_FALSE(QFile::exists(dir.filePath("a.tmp")));
        EXPECT_EQ(QFileInfo(dir.filePath("a.rec")).permissions() & 0x0077, 0) << "owner only";
    }
    // A folder that is gone: the error, and nothing written.
    AtomicFile lost(Local(dir.filePath("gone/a.rec")), {});
    lost.Write("x");
    EXPECT_TRUE(lost.Error());
    EXPECT_EQ(lost.Commit(), std::errc::no_such_file_or_directory);
}

TEST(SafeFile, WritesReplaceTheFileAndKeepItsPermissions) {
    QTemporaryDir dir;
    const std::string path = Local(dir.filePath("a.c"));
    const std::string bytes("int main(void)\r\n{\r\n\0\x95\x5c}\r\n", 23);
    std::string error;
    ASSERT_TRUE(WriteFileSafely(path, "old", &error)) << error;
    const auto perms = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther |
                       QFile::ExeOwner;
    ASSERT_TRUE(QFile::setPermissions(QString::fromStdString(path), perms));

    ASSERT_TRUE(WriteFileSafely(path, bytes, &error)) << error;
    std::string back;
    ASSERT_TRUE(ReadWholeFile(path, &back, &error)) << error;
    EXPECT_EQ(back, bytes);
    const auto mask = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup |
                      QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther | QFile::WriteOther |
                      QFile::ExeOther;
    EXPECT_EQ(QFile::permissions(QString::fromStdString(path)) & mask, perms);
    // No temporary file is left beside it.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);

    ASSERT_TRUE(WriteFileSafely(path, "", &error)) << error;
    ASSERT_TRUE(ReadWholeFile(path, &back, &error));
    EXPECT_EQ(back, "");
}

#ifndef _WIN32
TEST(SafeFile, WritesThroughSymbolicLinksToTheirTarget) {
    QTemporaryDir dir;
    const QString target = dir.filePath("real/a.c");
    QDir().mkpath(dir.filePath("real"));
    WriteRaw(target, "old");
    ASSERT_EQ(symlink("real/a.c", QFile::encodeName(dir.filePath("link.c")).constData()), 0);
    ASSERT_EQ(symlink("link.c", QFile::encodeName(dir.filePath("link2.c")).constData()), 0);
    std::string error;
    ASSERT_TRUE(WriteFileSafely(Local(dir.filePath("link2.c")), "new", &error)) << error;
    EXPECT_EQ(ReadRaw(target), "new");
    EXPECT_TRUE(QFileInfo(dir.filePath("link.c")).isSymLink());
    EXPECT_TRUE(QFileInfo(dir.filePath("link2.c")).isSymLink());

    // A link to a file not there yet creates that file.
    ASSERT_EQ(symlink("real/b.c", QFile::encodeName(dir.filePath("new.c")).constData()), 0);
    ASSERT_TRUE(WriteFileSafely(Local(dir.filePath("new.c")), "b", &error)) << error;
    EXPECT_EQ(ReadRaw(dir.filePath("real/b.c")), "b");
    EXPECT_TRUE(QFileInfo(dir.filePath("new.c")).isSymLink());

    // A loop of links is an error, not a hang.
    ASSERT_EQ(symlink("loop2", QFile::encodeName(dir.filePath("loop1")).constData()), 0);
    ASSERT_EQ(symlink("loop1", QFile::encodeName(dir.filePath("loop2")).constData()), 0);
    EXPECT_FALSE(WriteFileSafely(Local(dir.filePath("loop1")), "x", &error));
    EXPECT_FALSE(error.empty());
}

TEST(SafeFile, AFailedWriteLeavesTheOldFile) {
    QTemporaryDir dir;
    const std::string path = Local(dir.filePath("a.c"));
    std::string error;
    ASSERT_TRUE(WriteFileSafely(path, "old contents", &error)) << error;

    const bool ok = test::UnderFileSizeLimit(
        64 * 1024, [&] { return WriteFileSafely(path, std::string(1024 * 1024, 'x'), &error); });
    EXPECT_FALSE(ok);
    EXPECT_EQ(error, "ファイルが大きすぎます。");
    EXPECT_EQ(ReadRaw(QString::fromStdString(path)), "old contents");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}
#endif

std::string Reason(std::errc code) {
    return SystemErrorText(std::make_error_code(code));
}

TEST(SafeFile, FailuresSayWhyInJapanese) {
    QTemporaryDir dir;
    WriteRaw(dir.filePath("file"), "x");
    QDir().mkpath(dir.filePath("folder"));
    struct Case {
        const char* name;
        std::string reason;
    };
    const Case writes[] = {
        {"missing/a.c", "ファイルまたはフォルダーが見つかりません。"},
        {"file/a.c", "パスの途中にフォルダーではない名前があります。"},
        {"folder", "ファイルではなくフォルダーです。"},
    };
    for (const Case& c : writes) {
        std::string error;
        EXPECT_FALSE(WriteFileSafely(Local(dir.filePath(c.name)), "x", &error)) << c.name;
        EXPECT_EQ(error, c.reason) << c.name;
    }
    EXPECT_TRUE(QFileInfo(dir.filePath("folder")).isDir());

    std::string bytes = "untouched";
    const Case reads[] = {
        {"missing.c", "ファイルまたはフォルダーが見つかりません。"},
        {"folder", "ファイルではなくフォルダーです。"},
        {"", kNoFileNameText},
    };
    for (const Case& c : reads) {
        std::string error;
        EXPECT_FALSE(
            ReadWholeFile(*c.name ? Local(dir.filePath(c.name)) : std::string(), &bytes, &error))
            << c.name;
        EXPECT_EQ(error, c.reason) << c.name;
    }

#ifndef _WIN32
    // A pipe would block the reader for ever.
    const QString fifo = dir.filePath("pipe");
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    std::string error;
    EXPECT_FALSE(ReadWholeFile(Local(fifo), &bytes, &error));
    EXPECT_EQ(error, kNotRegularFileText);

    if (!RunningAsRoot()) {
        const QString ro = dir.filePath("readonly");
        QDir().mkpath(ro);
        WriteRaw(ro + "/a.c", "old");
        QFile::setPermissions(ro, QFile::ReadOwner | QFile::ExeOwner);
        EXPECT_FALSE(WriteFileSafely(Local(ro + "/a.c"), "new", &error));
        QFile::setPermissions(ro, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        EXPECT_EQ(error, Reason(std::errc::permission_denied));
        EXPECT_EQ(ReadRaw(ro + "/a.c"), "old");

        // A read-only file in a writable folder is not replaced behind the user's back.
        const QString locked = dir.filePath("locked.c");
        WriteRaw(locked, "old");
        QFile::setPermissions(locked, QFile::ReadOwner);
        EXPECT_FALSE(WriteFileSafely(Local(locked), "new", &error));
        EXPECT_EQ(error, Reason(std::errc::permission_denied));
        EXPECT_EQ(ReadRaw(locked), "old");

        const QString secret = dir.filePath("secret.c");
        WriteRaw(secret, "x");
        QFile::setPermissions(secret, QFile::WriteOwner);
        EXPECT_FALSE(ReadWholeFile(Local(secret), &bytes, &error));
        EXPECT_EQ(error, Reason(std::errc::permission_denied));
    }
#endif
    EXPECT_EQ(bytes, "untouched");
}

TEST(InFile, CoresReadsArePartsOfRegularFilesOnly) {
    QTemporaryDir dir;
    WriteRaw(dir.filePath("a.exe"), "MZ0123456789");
    QDir().mkpath(dir.filePath("folder"));
    const ReadFilePart read = PlatformFileReader();
    EXPECT_EQ(read(Local(dir.filePath("a.exe")), 0, kWholeFile), "MZ0123456789");
    EXPECT_EQ(read(Local(dir.filePath("a.exe")), 2, 3), "012");
    EXPECT_EQ(read(Local(dir.filePath("a.exe")), 10, 100), "89") << "fewer at the end";
    EXPECT_EQ(read(Local(dir.filePath("a.exe")), 100, 4), "") << "past the end";
    EXPECT_EQ(read(Local(dir.filePath("missing")), 0, 4), std::nullopt);
    EXPECT_EQ(read(Local(dir.filePath("folder")), 0, 4), std::nullopt);
    EXPECT_EQ(read("", 0, 4), std::nullopt);
#ifndef _WIN32
    const QString fifo = dir.filePath("pipe");
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    EXPECT_EQ(read(Local(fifo), 0, 4), std::nullopt) << "never opened, so never blocks";
    // Recovery files are read only as themselves, never through a link.
    ASSERT_TRUE(QFile::link(dir.filePath("a.exe"), dir.filePath("link")));
    EXPECT_FALSE(InFile(Local(dir.filePath("link"))).Error());
    EXPECT_TRUE(InFile(Local(dir.filePath("link")), false).Error());
#endif
}

TEST(SafeFile, LargeFilesAndNamesThatAreNotUtf8) {
    QTemporaryDir dir;
    std::string bytes, error;
    // Large files arrive whole.
    std::string big(300 * 1024, '\0');
    for (std::size_t i = 0; i < big.size(); ++i)
        big[i] = static_cast<char>(i * 7);
    ASSERT_TRUE(WriteFileSafely(Local(dir.filePath("big.bin")), big, &error)) << error;
    ASSERT_TRUE(ReadWholeFile(Local(dir.filePath("big.bin")), &bytes, &error)) << error;
    EXPECT_EQ(bytes, big);

#ifndef _WIN32
    // あい.c in Shift_JIS: written and read under exactly these bytes.
    const std::string sjis = Local(dir.path()) + "/\x82\xa0\x82\xa2.c";
    ASSERT_TRUE(WriteFileSafely(sjis, "old", &error)) << error;
    ASSERT_TRUE(WriteFileSafely(sjis, "new", &error)) << error;
    ASSERT_TRUE(ReadWholeFile(sjis, &bytes, &error)) << error;
    EXPECT_EQ(bytes, "new");
    struct stat st {};
    EXPECT_EQ(::stat(sjis.c_str(), &st), 0);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1)
        << "Qt lists only big.bin; no temporary file is left";
    ::unlink(sjis.c_str()); // Qt cannot see it to clean up
#endif
}

} // namespace
} // namespace mireka
