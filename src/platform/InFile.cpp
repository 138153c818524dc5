// Core's file reads, the same on every system.
#include "platform/InFile.h"

#include <algorithm>

namespace mireka {

ReadFilePart PlatformFileReader() {
    return [](const std::string& path, std::uint64_t offset,
              std::size_t limit) -> std::optional<std::string> {
        if (path.empty()) return std::nullopt;
        InFile file(path);
        if (file.Error()) return std::nullopt;
        const std::uint64_t left = offset < file.Size() ? file.Size() - offset : 0;
        std::string bytes(static_cast<std::size_t>(std::min<std::uint64_t>(left, limit)), '\0');
        file.ReadAt(offset, bytes);
        if (file.Error()) return std::nullopt;
        return bytes;
    };
}

} // namespace mireka
