// A document's file format (encoding, line ends, byte-order mark): what new documents get from
// the settings, the file's bytes a save writes, and the status bar's name for it.
#pragma once

#include "core/base/Encoding.h"

#include <optional>
#include <string>
#include <string_view>

namespace mireka {

struct FileFormat {
    Encoding encoding = Encoding::Cp932;
    LineEnds lineEnds = LineEnds::CrLf;
    bool bom = false; // a UTF-8 byte-order mark starts the file
    friend bool operator==(const FileFormat&, const FileFormat&) = default;
};

// Where nothing is set: UTF-8 with LF where that is the system's own (POSIX), code page 932
// with CR LF on Windows.
[[nodiscard]] FileFormat SystemNewDocumentFormat() noexcept;

// Shift_JIS documents are saved with CR LF whatever their file had, byte for byte as they
// always were; only UTF-8 documents keep a file's LF.

// The settings of new documents, in the "Settings" section. Values as the status bar names
// them ("UTF-8", "Shift_JIS"; "LF", "CRLF"); anything else reads as the system's default. The
// line ends apply to UTF-8 documents.
inline constexpr std::string_view kNewDocumentEncodingKey = "NewDocumentEncoding";
inline constexpr std::string_view kNewDocumentLineEndsKey = "NewDocumentLineEnds";
[[nodiscard]] FileFormat ReadNewDocumentFormat();
void WriteNewDocumentEncoding(Encoding encoding);

[[nodiscard]] std::string_view EncodingName(Encoding encoding) noexcept;
[[nodiscard]] std::string_view LineEndsName(LineEnds ends) noexcept;
// "UTF-8 LF", "Shift_JIS CRLF".
[[nodiscard]] std::string FormatName(const FileFormat& format);

// The format as one word for a file's header: "UTF-8,LF", "UTF-8,CRLF,BOM", "Shift_JIS,CRLF";
// and back, none for anything else.
[[nodiscard]] std::string FormatKey(const FileFormat& format);
[[nodiscard]] std::optional<FileFormat> ParseFormatKey(std::string_view key);

// The format of a file just read: its own encoding, byte-order mark and line ends; a UTF-8
// file without a line break takes the new documents' line ends.
[[nodiscard]] FileFormat OpenedFormat(DetectedEncoding detected, std::optional<LineEnds> seen,
                                      const FileFormat& newDocument) noexcept;

// The file's bytes for the editor text (CR LF inside): with LF line ends each CR LF becomes LF
// (other bytes stay), and the byte-order mark goes in front when the format has one.
[[nodiscard]] std::string FileBytes(std::string_view editorText, const FileFormat& format);

} // namespace mireka
