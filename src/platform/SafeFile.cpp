// Whole-file reads, the same on every system.
#include "platform/SafeFile.h"

#include "core/base/ErrorText.h"
#include "platform/InFile.h"

#include <memory>

namespace mireka {

bool ReadFileInPieces(const std::string& path,
                      const std::function<bool(std::string_view piece)>& take, std::string* error) {
    const auto fail = [error](std::string reason) {
        if (error) *error = std::move(reason);
        return false;
    };
    if (path.empty()) return fail(kNoFileNameText);
    // Small enough to stay in the processor's cache between the read and its use.
    constexpr std::size_t kPiece = std::size_t{1} << 18;
    InFile file(path);
    const std::unique_ptr<char[]> buffer(new char[kPiece]);
    for (;;) {
        const std::size_t n = file.Read(buffer.get(), kPiece);
        if (const std::error_code ec = file.Error()) {
            return fail(ec == std::errc::invalid_argument ? std::string(kNotRegularFileText)
                                                          : SystemErrorText(ec));
        }
        if (n == 0 || !take(std::string_view(buffer.get(), n))) break;
    }
    return true;
}

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
