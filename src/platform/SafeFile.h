// Whole-file reads and writes that never leave a half-written file behind, on the exact bytes of
// a file's name.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace mireka {

// Writes `bytes` to a temporary file beside `path`, flushes it to disk and only then puts it in
// the place of the old file, whose permissions it takes over; a path through a symbolic link
// writes the link's target. A file the user made read-only is not replaced. On failure the old
// file is untouched, false is returned and `error` (when given) says why, in Japanese.
bool WriteFileSafely(const std::string& path, std::string_view bytes, std::string* error);

// Reads a whole regular file. False with a reason in Japanese for a missing path, a directory,
// a device or pipe (which could block or never end) and an unreadable file; `bytes` is then
// left alone.
bool ReadWholeFile(const std::string& path, std::string* bytes, std::string* error);

// The same checks, handing the bytes over in pieces of a reused buffer as they are read, so a
// large file is never held twice. `take` returns false to stop reading early (that is no
// failure).
bool ReadFileInPieces(const std::string& path,
                      const std::function<bool(std::string_view piece)>& take, std::string* error);

} // namespace mireka
