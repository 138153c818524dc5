// Whole-file reads on top of the reads in pieces of each system.
#include "platform/SafeFile.h"

namespace mireka {

bool ReadWholeFile(const std::string& path, std::string* bytes, std::string* error) {
    std::string content;
    const bool ok = ReadFileInPieces(
        path,
        [&content](std::string_view piece) {
            content.append(piece);
            return true;
        },
        error);
    if (ok) *bytes = std::move(content);
    return ok;
}

} // namespace mireka
