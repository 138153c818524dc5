// The environment report's rows from made-up facts, and the reading of configuration files.
#include "core/toolchain/Report.h"

#include "FakeFiles.h"

#include <gtest/gtest.h>

namespace mireka {
namespace {

ReportFacts Facts() {
    ReportFacts f;
    f.appPath = "/opt/UMO Software/mireka";
    f.version = {0, 1, 0, 0};
    f.os.platform = OsFacts::Platform::Posix;
    f.os.sysname = "Linux";
    f.os.release = "6.1.0-18-amd64";
    f.os.machine = "x86_64";
    f.physicalMemory = 536870912;
    f.interpreter = "/bin/sh";
    f.toolchain = 1;
    f.settings.m_bPause = true;
    f.settings.m_bPif = false;
    f.settings.m_strLccPath = "/lsic86/BIN/LCC.EXE";
    f.settings.m_strLccOption = "-O";
    f.settings.m_strLccLibrary = "-lm";
    f.settings.m_strGccPath = "/usr/bin/gcc";
    f.settings.m_strGccOption = "-Wall -finput-charset=CP932";
    f.settings.m_strGccLibrary = "-lm";
    f.gccVersion = "gcc (Debian 12.2.0-14) 12.2.0";
    return f;
}

TEST(Report, RowsInOrderWithTheirFormats) {
    ReportFacts f = Facts();
    f.lccConfig = std::vector<std::string>{"-I/lsic86/include", "", "-L/lsic86/lib"};
    EXPECT_EQ(BuildReportText(f), "[App Path] /opt/UMO Software/mireka\r\n"
                                  "[App Version] 0.1.0.0\r\n"
                                  "[OS Version] Linux 6.1.0-18-amd64 x86_64\r\n"
                                  "[Physical Memory] 512 MB\r\n"
                                  "[ComSpec] /bin/sh\r\n"
                                  "[Mode] Pause:On, Pif:Off, LCC\r\n"
                                  "\r\n"
                                  "[Lcc Path] /lsic86/BIN/LCC.EXE\r\n"
                                  "[Lcc Option] -O\r\n"
                                  "[Lcc Library] -lm\r\n"
                                  "[Bcc Path] \r\n"
                                  "[Bcc Option] \r\n"
                                  "[VCToolkitInstallDir] \r\n"
                                  "[VCTK Option] \r\n"
                                  "[Gcc Path] /usr/bin/gcc\r\n"
                                  "[Gcc Option] -Wall -finput-charset=CP932\r\n"
                                  "[Gcc Library] -lm\r\n"
                                  "[Gcc Version] gcc (Debian 12.2.0-14) 12.2.0\r\n"
                                  "\r\n"
                                  "[_LCC]\r\n"
                                  "-I/lsic86/include\r\n"
                                  "\r\n"
                                  "-L/lsic86/lib\r\n");
}

TEST(Report, SelectionOsAndMemoryVariants) {
    const auto text = [](const ReportFacts& f) { return BuildReportText(f); };
    const auto has = [&](const ReportFacts& f, const std::string& row) {
        return text(f).find(row) != std::string::npos;
    };
    const struct {
        int toolchain;
        bool pause, pif;
        std::string mode;
    } modes[] = {
        {1, true, false, "[Mode] Pause:On, Pif:Off, LCC\r\n\r\n[Lcc Path]"},
        {0, false, true, "[Mode] Pause:Off, Pif:On, BCC\r\n\r\n"},
        {3, true, true, "[Mode] Pause:On, Pif:On, GCC\r\n\r\n"},
        {2, false, false, "[Mode] Pause:Off, Pif:Off, VCTK\r\n\r\n"},
        {7, false, false, "[Mode] Pause:Off, Pif:Off, VCTK\r\n\r\n"},
        {-1, false, false, "[Mode] Pause:Off, Pif:Off, VCTK\r\n\r\n"},
    };
    for (const auto& m : modes) {
        ReportFacts f = Facts();
        f.toolchain = m.toolchain;
        f.settings.m_bPause = m.pause;
        f.settings.m_bPif = m.pif;
        EXPECT_TRUE(has(f, m.mode)) << m.toolchain;
    }

    ReportFacts f = Facts();
    f.os = {OsFacts::Platform::WindowsNt, 5, 1, 2600, "Service Pack 2", "", "", ""};
    EXPECT_TRUE(has(f, "\r\n[OS Version] NT 5.1.2600 Service Pack 2\r\n[Physical Memory]"));
    f.os = {OsFacts::Platform::Windows9x, 4, 10, 0x040A08AE, "A", "", "", ""};
    EXPECT_TRUE(has(f, "\r\n[OS Version] Windows 4.10.2222 A\r\n"));
    f.os = {OsFacts::Platform::Win32s, 3, 1, 0, "", "", "", ""};
    EXPECT_TRUE(has(f, "\r\n[OS Version] Win32s 3.1.0 \r\n"));
    f.os.platform = OsFacts::Platform::Unknown;
    EXPECT_TRUE(has(f, "[App Version] 0.1.0.0\r\n[Physical Memory] 512 MB\r\n"));

    f.physicalMemory = 1048575; // the remainder is dropped
    EXPECT_TRUE(has(f, "[Physical Memory] 0 MB\r\n"));
    f.physicalMemory = 64ULL * 1024 * 1048576 + 5;
    EXPECT_TRUE(has(f, "[Physical Memory] 65536 MB\r\n"));

    // An empty option and an unset install folder still give both lines; no version from gcc
    // gives the row with nothing after it; absent files give no sections.
    f.gccVersion.clear();
    EXPECT_TRUE(has(f, "[VCToolkitInstallDir] \r\n[VCTK Option] \r\n[Gcc Path]"));
    EXPECT_TRUE(text(f).ends_with("[Gcc Version] \r\n"));
    f.bccConfig = std::vector<std::string>{"-w-"};
    f.ilinkConfig = std::vector<std::string>{};
    EXPECT_TRUE(text(f).ends_with("[Gcc Version] \r\n\r\n[bcc32.cfg]\r\n-w-\r\n"
                                  "\r\n[ilink32.cfg]\r\n"));
}

TEST(Report, VersionAndFirstLine) {
    EXPECT_EQ(ParseVersion("0.1.0"), (std::array<int, 4>{0, 1, 0, 0}));
    EXPECT_EQ(ParseVersion("2"), (std::array<int, 4>{2, 0, 0, 0}));
    EXPECT_EQ(ParseVersion("1.2.3.4.5"), (std::array<int, 4>{1, 2, 3, 4}));
    EXPECT_EQ(ParseVersion(""), (std::array<int, 4>{0, 0, 0, 0}));
    EXPECT_EQ(FirstLine("clang version 14\r\nTarget: x\n"), "clang version 14");
    EXPECT_EQ(FirstLine("no line end"), "no line end");
    EXPECT_EQ(FirstLine(""), "");
}

TEST(Report, ConfigurationFilesBesideTheDriversAreReadSafely) {
    test::FakeFiles disk;
    ReportFacts f = Facts();
    f.settings.m_strLccPath = "/c/BIN/LCC.EXE";
    f.settings.m_strBccPath = "/c/BIN/BCC32.EXE";
    disk.files["/c/BIN/_LCC"] = "-I\\lsic86\\include\r\n\r\nlast line without end";
    constexpr char kBinary[] = "bin\0ary\r\xff\n";
    disk.files["/c/BIN/bcc32.cfg"] = std::string(kBinary, sizeof kBinary - 1);
    ReadConfigFiles(f, disk.Reader(), PathStyle::Posix);
    EXPECT_EQ(f.lccConfig,
              (std::vector<std::string>{"-I\\lsic86\\include", "", "last line without end"}));
    EXPECT_EQ(f.bccConfig, (std::vector<std::string>{"binary\r\xff"}));
    EXPECT_EQ(f.ilinkConfig, std::nullopt) << "absent";

    // A driver path left empty, a file that cannot be read, a huge file.
    f = Facts();
    f.settings.m_strLccPath.clear();
    f.settings.m_strBccPath = "/c/BIN/BCC32.EXE";
    disk.files.erase("/c/BIN/bcc32.cfg");
    disk.files["/c/BIN/ilink32.cfg"] = std::string(200 * 1024, 'x') + "\n";
    ReadConfigFiles(f, disk.Reader(), PathStyle::Posix);
    EXPECT_EQ(f.lccConfig, std::nullopt);
    EXPECT_EQ(f.bccConfig, std::nullopt);
    ASSERT_TRUE(f.ilinkConfig);
    ASSERT_EQ(f.ilinkConfig->size(), 1u);
    EXPECT_EQ(f.ilinkConfig->front().size(), kReportFileLimit);
    disk.files[""] = "a path that is empty is never read";
    EXPECT_EQ(ReadReportFileLines("", disk.Reader()), std::nullopt);
}

} // namespace
} // namespace mireka
