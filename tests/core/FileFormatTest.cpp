// File formats of documents: the bytes a save writes, the settings of new documents, the names.
#include "core/document/FileFormat.h"

#include "core/base/MemorySettingsStore.h"
#include "core/base/Profile.h"

#include <gtest/gtest.h>

namespace mireka {
namespace {

constexpr FileFormat kUtf8Lf{Encoding::Utf8, LineEnds::Lf, false};
constexpr FileFormat kUtf8CrLfBom{Encoding::Utf8, LineEnds::CrLf, true};
constexpr FileFormat kUtf8LfBom{Encoding::Utf8, LineEnds::Lf, true};
constexpr FileFormat kCp932CrLf{Encoding::Cp932, LineEnds::CrLf, false};
constexpr FileFormat kCp932Lf{Encoding::Cp932, LineEnds::Lf, false};

TEST(FileFormat, SaveBytesFollowTheLineEndsAndTheMark) {
    const struct {
        std::string_view text;
        FileFormat format;
        std::string_view bytes;
    } rows[] = {
        {"a\r\nb\r\n", kCp932CrLf, "a\r\nb\r\n"},
        {"a\r\nb\r\n", kUtf8Lf, "a\nb\n"},
        {"a\r\nb", kUtf8LfBom,
         "\xEF\xBB\xBF"
         "a\nb"},
        {"a\r\n", kUtf8CrLfBom,
         "\xEF\xBB\xBF"
         "a\r\n"},
        {"\x95\r\n\x82\xA0\r\n", kCp932Lf, "\x95\n\x82\xA0\n"},
        // Only CR LF pairs lose their CR.
        {"a\rb\r\r\n\r", kUtf8Lf, "a\rb\r\n\r"},
        {"\r\n\r\n", kUtf8Lf, "\n\n"},
        {"", kUtf8LfBom, "\xEF\xBB\xBF"},
        {"", kUtf8Lf, ""},
        // A mark is UTF-8's only.
        {"x\r\n", {Encoding::Cp932, LineEnds::CrLf, true}, "x\r\n"},
    };
    for (const auto& r : rows)
        EXPECT_EQ(FileBytes(r.text, r.format), r.bytes) << r.text << " as " << FormatName(r.format);
}

TEST(FileFormat, OpenedFilesKeepTheirOwnLineEndsAndEncoding) {
    EXPECT_EQ(OpenedFormat({Encoding::Utf8, true}, LineEnds::CrLf, kCp932CrLf), kUtf8CrLfBom);
    EXPECT_EQ(OpenedFormat({Encoding::Utf8, false}, LineEnds::Lf, kCp932CrLf), kUtf8Lf);
    EXPECT_EQ(OpenedFormat({Encoding::Utf8, false}, std::nullopt, kUtf8Lf), kUtf8Lf);
    // Shift_JIS is saved as it always was: CR LF.
    EXPECT_EQ(OpenedFormat({Encoding::Cp932, false}, LineEnds::Lf, kUtf8Lf), kCp932CrLf);
    EXPECT_EQ(OpenedFormat({Encoding::Cp932, false}, std::nullopt, kUtf8Lf), kCp932CrLf);
}

TEST(FileFormat, NewDocumentsReadTheSettingsAndAnythingMalformedIsTheDefault) {
    const FileFormat system = SystemNewDocumentFormat();
#ifdef _WIN32
    EXPECT_EQ(system, kCp932CrLf);
#else
    EXPECT_EQ(system, kUtf8Lf);
#endif
    const struct {
        const char* encoding;
        const char* ends;
        Encoding wantEncoding;
        LineEnds wantEnds;
    } rows[] = {
        {"UTF-8", "LF", Encoding::Utf8, LineEnds::Lf},
        {"Shift_JIS", "CRLF", Encoding::Cp932, LineEnds::CrLf},
        {"Shift_JIS", "LF", Encoding::Cp932, LineEnds::CrLf},
        {"UTF-8", "CRLF", Encoding::Utf8, LineEnds::CrLf},
        {"utf8", "crlf", system.encoding, system.lineEnds},
        {"", "", system.encoding, system.lineEnds},
        {"UTF-8 ", "LF\r", system.encoding, system.lineEnds},
        {nullptr, nullptr, system.encoding, system.lineEnds},
    };
    for (const auto& r : rows) {
        MemorySettingsStore store;
        ScopedProfileStore scope(&store);
        if (r.encoding) {
            ASSERT_TRUE(WriteProfileString("Settings", kNewDocumentEncodingKey, r.encoding));
        }
        if (r.ends) {
            ASSERT_TRUE(WriteProfileString("Settings", kNewDocumentLineEndsKey, r.ends));
        }
        const FileFormat read = ReadNewDocumentFormat();
        EXPECT_EQ(read.encoding, r.wantEncoding) << (r.encoding ? r.encoding : "(none)");
        EXPECT_EQ(read.lineEnds, r.wantEnds) << (r.ends ? r.ends : "(none)");
        EXPECT_FALSE(read.bom);
    }
    MemorySettingsStore store;
    ScopedProfileStore scope(&store);
    for (const Encoding e : {Encoding::Cp932, Encoding::Utf8, Encoding::Cp932}) {
        WriteNewDocumentEncoding(e);
        EXPECT_EQ(ReadNewDocumentFormat().encoding, e);
    }
}

TEST(FileFormat, StatusNames) {
    EXPECT_EQ(FormatName(kUtf8Lf), "UTF-8 LF");
    EXPECT_EQ(FormatName(kCp932CrLf), "Shift_JIS CRLF");
    EXPECT_EQ(FormatName(kUtf8CrLfBom), "UTF-8 CRLF");
}

} // namespace
} // namespace mireka
