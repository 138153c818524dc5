// Recovery files: what is written reads back exactly, and every damaged or strange file is told
// apart without being trusted.
#include "core/document/Recovery.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace mireka {
namespace {

std::string AllBytes() {
    std::string s;
    for (int c = 0; c < 256; ++c)
        s += static_cast<char>(c);
    return s;
}

std::string File(RecoveryInfo info, const std::string& text) {
    info.length = text.size();
    info.checksum = RecoveryChecksum(text);
    return EncodeRecoveryHeader(info) + text;
}

// A hand-written header with a correct length and checksum unless the lines give their own.
std::string Handmade(const std::string& lines, const std::string& text = "t\r\n") {
    std::string head = "MIREKA-RECOVERY 1\n" + lines;
    if (lines.find("length=") == std::string::npos)
        head += "length=" + std::to_string(text.size()) + "\n";
    if (lines.find("checksum=") == std::string::npos) {
        char sum[17];
        std::snprintf(sum, sizeof sum, "%016llx",
                      static_cast<unsigned long long>(RecoveryChecksum(text)));
        head += std::string("checksum=") + sum + "\n";
    }
    return head + "\n" + text;
}

TEST(Recovery, ChecksumIsFnv1a64AndStreams) {
    EXPECT_EQ(RecoveryChecksum(""), 0xcbf29ce484222325u);
    EXPECT_EQ(RecoveryChecksum("a"), 0xaf63dc4c8601ec8cu);
    EXPECT_EQ(RecoveryChecksum("foobar"), 0x85944171f73967e8u);
    EXPECT_EQ(RecoveryChecksum("bar", RecoveryChecksum("foo")), RecoveryChecksum("foobar"));
}

TEST(Recovery, WhatIsWrittenReadsBackExactly) {
    std::string binary; // every byte but NUL, as a path may hold
    for (int c = 1; c < 256; ++c)
        binary += static_cast<char>(c);
    const RecoveryDocument documents[] = {
        {},
        {"/home/user/hello.c", 1234, 1700000000},
        {"/tmp/new\nline/ and %41 space\r.c", 0, -5},
        {"/\x93\xfa\x96\x7b/\x95\x5c.c", 7, 8}, // Shift_JIS names
        {binary, -1, -1},
        {"/u.c", 1, 2, FileFormat{Encoding::Utf8, LineEnds::Lf, true}},
        {"/s.c", 1, 2, FileFormat{Encoding::Cp932, LineEnds::CrLf, false}},
    };
    const std::string texts[] = {"", "int main()\r\n{\r\n}\r\n", AllBytes()};
    for (const RecoveryDocument& doc : documents) {
        for (const std::string& text : texts) {
            RecoveryInfo info{doc, 1712345678, "0.1.0 \xff", 0, 0};
            const std::string file = File(info, text);
            const std::string head = file.substr(0, file.size() - text.size());
            for (const char c : head)
                ASSERT_TRUE(c == '\n' || (c >= 0x20 && c < 0x7F)) << "header is ASCII lines";
            const RecoveryHeader parsed = ParseRecovery(file);
            ASSERT_EQ(parsed.error, RecoveryError::None) << doc.path;
            info.length = text.size();
            info.checksum = RecoveryChecksum(text);
            EXPECT_EQ(parsed.info, info);
            EXPECT_EQ(file.substr(static_cast<std::size_t>(parsed.textOffset)), text);
        }
    }
}

TEST(Recovery, CutExtendedOrFlippedFilesAreNeverTrusted) {
    const std::string text = "a\r\n\x82\xa0" + AllBytes();
    const std::string file = File({{"/a\nb.c", 10, 20}, 30, "1", 0, 0}, text);
    const std::size_t textOffset = file.size() - text.size();
    for (std::size_t n = 0; n < file.size(); ++n)
        ASSERT_EQ(ParseRecovery(file.substr(0, n)).error, RecoveryError::Corrupt) << "cut " << n;
    EXPECT_EQ(ParseRecovery(file + "x").error, RecoveryError::Corrupt);
    for (std::size_t i = 0; i < file.size(); ++i) {
        std::string flipped = file;
        flipped[i] = static_cast<char>(flipped[i] ^ 0x04);
        const RecoveryHeader parsed = ParseRecovery(flipped);
        if (i >= textOffset) {
            ASSERT_EQ(parsed.error, RecoveryError::Corrupt) << "text byte " << i;
        } else if (parsed.error == RecoveryError::None) {
            // Only a field outside the text may change unnoticed.
            ASSERT_EQ(flipped.substr(static_cast<std::size_t>(parsed.textOffset)), text) << i;
        }
    }
}

TEST(Recovery, HeadersAreJudgedLineByLine) {
    struct Case {
        std::string file;
        RecoveryError error;
    };
    const Case cases[] = {
        {"", RecoveryError::Corrupt},
        {"MIREKA-REC", RecoveryError::Corrupt},
        {"hello world\r\n", RecoveryError::Foreign},
        {"MIREKA-RECOVERY1\npath=\n", RecoveryError::Foreign},
        {"MIREKA-RECOVERY 2\nanything at all", RecoveryError::Newer},
        {"MIREKA-RECOVERY 0\n\n", RecoveryError::Corrupt},
        {"MIREKA-RECOVERY x\n\n", RecoveryError::Corrupt},
        {Handmade("path=\nsaved=1\n"), RecoveryError::None},
        {Handmade("path=\nsaved=1\nlater-key=anything\n"), RecoveryError::None},
        {Handmade("saved=1\n"), RecoveryError::Corrupt},
        {Handmade("path=\n"), RecoveryError::Corrupt},
        {Handmade("path=\nsaved=1\nsaved=2\n"), RecoveryError::Corrupt},
        {Handmade("path=%4\nsaved=1\n"), RecoveryError::Corrupt},
        {Handmade("path=a b\nsaved=1\n"), RecoveryError::Corrupt},
        {Handmade("path=\nsaved=1\r\n"), RecoveryError::Corrupt},
        {Handmade("path=\nsaved=1\nno equals sign\n"), RecoveryError::Corrupt},
        {Handmade("path=\nsaved=1\nlength=99999999999999999999\n"), RecoveryError::Corrupt},
        {Handmade("path=\nsaved=1\nchecksum=0123456789abcde\n"), RecoveryError::Corrupt},
        {Handmade("path=\nsaved=1\nformat=UTF-8,CRLF,BOM\n"), RecoveryError::None},
        {Handmade("path=\nsaved=1\nformat=UTF-16,LF\n"), RecoveryError::Corrupt},
        {"MIREKA-RECOVERY 1\npath=\nsaved=1\n" + std::string(kMaxRecoveryHeader, 'x'),
         RecoveryError::Corrupt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseRecovery(c.file).error, c.error) << c.file.substr(0, 60);
    const RecoveryHeader old = ParseRecovery(Handmade("path=/x.c\nsaved=5\n"));
    EXPECT_EQ(old.info.document, (RecoveryDocument{"/x.c", -1, -1}));
    EXPECT_EQ(old.info.programVersion, "");
    EXPECT_EQ(old.info.document.format, std::nullopt) << "a file from before formats were kept";
}

TEST(Recovery, MessagesNameTheFileAndDifferByKind) {
    EXPECT_EQ(RecoveryErrorText(RecoveryError::Foreign, "/r/a.rcv"),
              "復元ファイル /r/a.rcv は Mireka のものではないため、使えません。");
    EXPECT_NE(RecoveryErrorText(RecoveryError::Newer, "/r/a.rcv").find("新しい版"),
              std::string::npos);
    EXPECT_EQ(RecoveryErrorText(RecoveryError::Corrupt, "/r/a.rcv"),
              "復元ファイル /r/a.rcv は壊れているため、使えません。");
    EXPECT_EQ(RecoveryErrorText(RecoveryError::Unreadable, "/r/a.rcv", "理由。"),
              "復元ファイル /r/a.rcv を読めません。理由。");
    EXPECT_EQ(RecoveryFolderErrorText("/r", "理由。")
                  .rfind("復元用のフォルダー /r に書き込めません。理由。", 0),
              0u);
}

} // namespace
} // namespace mireka
