// The recovery file, which keeps the text of a modified document through a crash: ASCII header
// lines, an empty line, then the text's bytes exactly as the editor holds them.
#pragma once

#include "core/base/Fnv.h"
#include "core/document/FileFormat.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace mireka {

// The first line is the magic, a space and the format's version.
inline constexpr std::string_view kRecoveryMagic = "MIREKA-RECOVERY";
inline constexpr int kRecoveryVersion = 1;
// A header never exceeds this, so a reader needs no more of a file to parse its header.
inline constexpr std::size_t kMaxRecoveryHeader = 65536;

// What the editor knows of the document the text belongs to.
struct RecoveryDocument {
    std::string path;            // the path's bytes; empty for an untitled document
    std::int64_t diskSize = -1;  // the file as it was when loaded or last saved, so that a
    std::int64_t diskMtime = -1; // change on disk since can be told; seconds; -1: unknown
    // The file format the text is saved in; none in files written before formats were kept.
    std::optional<FileFormat> format = std::nullopt;

    bool operator==(const RecoveryDocument&) const = default;
};

struct RecoveryInfo {
    RecoveryDocument document;
    std::int64_t savedAt = 0; // seconds since the Unix epoch, UTC
    std::string programVersion;
    std::uint64_t length = 0;   // bytes of text after the header
    std::uint64_t checksum = 0; // RecoveryChecksum of the text

    bool operator==(const RecoveryInfo&) const = default;
};

// FNV-1a 64, fed piece by piece: pass the previous result as `sum`.
inline constexpr std::uint64_t kRecoveryChecksumStart = kFnvStart;
[[nodiscard]] std::uint64_t RecoveryChecksum(std::string_view bytes,
                                             std::uint64_t sum = kRecoveryChecksumStart) noexcept;

// The header, ending with its empty line; `info.length` text bytes must follow it.
[[nodiscard]] std::string EncodeRecoveryHeader(const RecoveryInfo& info);

enum class RecoveryError {
    None,
    Foreign,    // not a recovery file
    Newer,      // written by a newer program in a format this one does not know
    Corrupt,    // a broken header, a truncated or overlong text, a wrong checksum
    Unreadable, // the file could not be read; not a verdict on its contents
};

struct RecoveryHeader {
    RecoveryError error = RecoveryError::None;
    RecoveryInfo info;
    std::uint64_t textOffset = 0; // the text is the file's bytes from here to its end
};

// The header of a file of `fileSize` bytes from its first bytes (at least kMaxRecoveryHeader of
// them, or the whole file). The file's size must be the header's plus the text's; the checksum
// is left to the caller, who reads the text.
[[nodiscard]] RecoveryHeader ParseRecoveryHeader(std::string_view head, std::uint64_t fileSize);

// A whole file, its text checked against the checksum.
[[nodiscard]] RecoveryHeader ParseRecovery(std::string_view file);

// Messages for the user; `name` is the file's or folder's name as it is shown, `reason` a
// SystemErrorText sentence, which only an unreadable file has.
[[nodiscard]] std::string RecoveryErrorText(RecoveryError error, std::string_view name,
                                            std::string_view reason = {});
[[nodiscard]] std::string RecoveryFolderErrorText(std::string_view folder, std::string_view reason);

} // namespace mireka
