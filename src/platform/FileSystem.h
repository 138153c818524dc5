// File-system queries and path forms on the exact bytes of a name. Qt's file names are Unicode
// and lose the bytes of a name that is not valid UTF-8 (Shift_JIS names from older Japanese
// systems): documents are opened, saved and listed through here so that such a file keeps its
// name.
#pragma once

#include <QString>

#include <cstdint>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

class QUrl;

namespace mireka {

struct FileStatus {
    std::error_code error; // why the entry could not be looked at; no entry is one reason
    bool isDir = false;
    bool isRegular = false;
    bool writable = false; // the user may write it (read-only files are saved under a new name)
    std::uint64_t size = 0;
    std::int64_t mtime = -1; // last change, seconds since the epoch

    [[nodiscard]] bool Exists() const noexcept { return !error; }
};

// The entry `path` names, links followed.
[[nodiscard]] FileStatus QueryFile(const std::string& path);

[[nodiscard]] std::string CurrentDirectory();
bool ChangeDirectory(const std::string& path);

// The absolute, clean form of a document's path: a relative path is taken from the current
// directory; ".", ".." and doubled separators go. Where a ".." follows a symbolic link, the
// written path and the cleaned one would be different files: there the folder is resolved
// through its links, so that the file opened is always the one named.
[[nodiscard]] std::string FullPath(const std::string& path);

// The name bytes of a local file URL (a drop, a platform file dialog): percent-encoded bytes
// come back as they were, valid UTF-8 or not. Empty for a URL that is not a local file.
[[nodiscard]] std::string PathFromUrl(const QUrl& url);

// An existing file named in a dialog by the text it shows: the text's own bytes when they
// name a file, else the entry of that folder whose shown name is that text (a Shift_JIS name
// typed in Japanese). Empty when neither exists.
[[nodiscard]] std::string ExistingPathFromText(const QString& path);

// `path` itself when it exists; else, on a file system where case matters, the existing entry
// whose components match its own without regard to ASCII case (a folder copied from a DOS disk
// may be in either case); else `path`.
[[nodiscard]] std::string PathIgnoringCase(const std::string& path);

// Renames or removes a file by its name's bytes; false with the reason in `error`.
bool RenameFile(const std::string& from, const std::string& to, std::error_code* error);
bool RemoveFile(const std::string& path, std::error_code* error);

// A regular file itself, not a link to one.
[[nodiscard]] bool IsFileNotLink(const std::string& path);
// The names in `folder`; none when it cannot be read.
[[nodiscard]] std::vector<std::string> ListFolder(const std::string& folder);
// `folder` and each missing folder on the way, open to the user alone: they hold the user's
// texts.
std::error_code MakePrivateFolder(const std::string& folder);

// A name as the user should read it: each component as UTF-8 when it is, else as Shift_JIS,
// with the platform's separators.
[[nodiscard]] QString DisplayPath(const std::string& path);

// A setting's or a file's line as the user should read it: UTF-8 when it is, else Shift_JIS.
[[nodiscard]] QString DisplayText(std::string_view bytes);

} // namespace mireka
