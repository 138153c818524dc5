// The transcript a run shows, step by step, and capture-file names.
#include "core/toolchain/Transcript.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace mireka {
namespace {

TEST(BuildTranscript, SilentCompileShowsThreeLines) {
    Transcript t(RunKind::Compile);
    t.Begin("sh -c gcc -Wall \"a.c\" -lm -o \"a\"");
    EXPECT_EQ(t.Text(), "sh -c gcc -Wall \"a.c\" -lm -o \"a\"\r\n");
    t.Started();
    t.AppendCaptured("");
    t.Ended();
    EXPECT_EQ(t.Text(), "sh -c gcc -Wall \"a.c\" -lm -o \"a\"\r\n"
                        "*** コンパイル開始 ***\r\n"
                        "*** コンパイル終了 ***\r\n");
}

TEST(BuildTranscript, CapturedTextArrivesUnchangedBetweenTheMarkers) {
    Transcript t(RunKind::Command);
    t.Begin("sh -c ls");
    t.Started();
    // A line far longer than any read piece, LF and CR LF line ends, Shift_JIS bytes.
    const std::string longLine(1000, 'x');
    t.AppendCaptured(longLine + "\n");
    t.AppendCaptured("a.c:5:3: error: \x83\x5C\r\n");
    t.AppendCaptured("no end");
    t.Ended();
    EXPECT_EQ(t.Text(), "sh -c ls\r\n*** コマンド開始 ***\r\n" + longLine +
                            "\na.c:5:3: error: \x83\x5C\r\nno end*** コマンド終了 ***\r\n");
}

TEST(BuildTranscript, NulBytesAreDroppedAndNothingElse) {
    Transcript t(RunKind::Compile);
    t.Begin("x");
    t.AppendCaptured(std::string("ab\0cd\0\0e\n\0", 11));
    EXPECT_EQ(t.Text(), "x\r\nabcde\n");
    // Pieces may split anywhere.
    Transcript u(RunKind::Compile);
    u.Begin("x");
    u.AppendCaptured(std::string("ab\0", 3));
    u.AppendCaptured(std::string("\0cd", 3));
    EXPECT_EQ(u.Text(), "x\r\nabcd");
}

TEST(BuildTranscript, ErrorBlocks) {
    EXPECT_EQ(ErrorBlock("ファイルが見つかりません。\r\n"),
              "*** 拡張エラー情報 ***\r\nファイルが見つかりません。\r\n");
    EXPECT_EQ(ErrorBlock("No such file or directory"),
              "*** 拡張エラー情報 ***\r\nNo such file or directory\r\n");
    EXPECT_EQ(ErrorBlock(""), "*** 拡張エラー情報 ***\r\n");

    // A process that could not be started: the command line and the block, no markers.
    Transcript failed(RunKind::Command);
    failed.Begin("nosuchshell -c ls");
    failed.Failed(ErrorBlock("No such file or directory"));
    EXPECT_EQ(failed.Text(),
              "nosuchshell -c ls\r\n*** 拡張エラー情報 ***\r\nNo such file or directory\r\n");

    // An exit code that could not be read: the block follows the end marker.
    Transcript late(RunKind::Compile);
    late.Begin("c");
    late.Started();
    late.AppendCaptured("out\r\n");
    late.Ended(ErrorBlock("wait failed"));
    EXPECT_EQ(late.Text(), "c\r\n*** コンパイル開始 ***\r\nout\r\n*** コンパイル終了 ***\r\n"
                           "*** 拡張エラー情報 ***\r\nwait failed\r\n");
}

TEST(BuildTranscript, EachRunStartsAFreshText) {
    Transcript t(RunKind::Compile);
    t.Begin("first");
    t.Started();
    t.AppendCaptured("one\n");
    t.Ended();
    t.Begin("second");
    EXPECT_EQ(t.Text(), "second\r\n");
}

TEST(BuildTranscript, AStoppedOrCutRunEndsWithItsLinesOnLinesOfTheirOwn) {
    struct Case {
        std::string captured;
        bool cut;
        std::string between; // what closes the command's last line
    };
    const Case cases[] = {
        {"", false, ""},         {"tick\n", false, ""},    {"tick\r\n", false, ""},
        {"half", false, "\r\n"}, {"tick\r", false, "\n"},  {"", true, ""},
        {"lo\nlo\n", true, ""},  {"lo\nlo", true, "\r\n"}, {"lo\r", true, "\n"},
    };
    for (const Case& c : cases) {
        Transcript t(RunKind::Command);
        t.Begin("sh -c loop");
        t.Started();
        t.AppendCaptured(c.captured);
        if (c.cut)
            t.CutOff();
        else
            t.Stopped();
        t.Ended(c.cut ? kCaptureLimitNote : std::string_view());
        EXPECT_EQ(t.Text(), "sh -c loop\r\n*** コマンド開始 ***\r\n" + c.captured + c.between +
                                (c.cut ? "" : "*** 中止しました ***\r\n") +
                                "*** コマンド終了 ***\r\n" +
                                (c.cut ? std::string(kCaptureLimitNote) : ""))
            << c.captured << (c.cut ? " cut" : " stopped");
    }
}

TEST(BuildTranscript, LiveOutputWaitsOnlyForTheRestOfACharacterOrOfACrLf) {
    const struct {
        std::string bytes;
        std::size_t showable;
    } cases[] = {
        {"", 0},
        {"abc\n", 4},
        {"abc\r", 3}, // an LF may follow
        {"abc\r\n", 5},
        {"\xE3\x81", 0},      // 'あ' lacks its last byte
        {"x\xE3\x81\x82", 4}, // complete
        {"x\xE3", 1},
        {"x\xC3", 1},         // two-byte lead
        {"x\xF0\x9F\x98", 1}, // four-byte lead, one short
        {"x\xF0\x9F\x98\x80", 5},
        {"x\xFF", 2},             // not UTF-8: never waits
        {"x\x80\x80\x80\x80", 5}, // stray continuation bytes
        {"\x83\x5C", 2},          // Shift_JIS from an old tool
    };
    for (const auto& c : cases)
        EXPECT_EQ(ShowableLength(c.bytes), c.showable) << testing::PrintToString(c.bytes);
}

TEST(BuildTranscript, CaptureFileNames) {
    EXPECT_EQ(CaptureFileName(0x1A), "mrk001A.TMP");
    EXPECT_EQ(CaptureFileName(0xBEEF), "mrkBEEF.TMP");
    EXPECT_EQ(CaptureFileName(0x123456789ABCDEF0ull), "mrk123456789ABCDEF0.TMP");
}

} // namespace
} // namespace mireka
