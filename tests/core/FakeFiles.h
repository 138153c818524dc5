// Files held in memory, read by core as it reads real ones.
#pragma once

#include "core/base/FileReader.h"

#include <map>
#include <string>

namespace mireka::test {

struct FakeFiles {
    std::map<std::string, std::string> files; // a path's bytes; a path not here is no file

    [[nodiscard]] ReadFilePart Reader() const {
        return [this](const std::string& path, std::uint64_t offset,
                      std::size_t limit) -> std::optional<std::string> {
            const auto it = files.find(path);
            if (it == files.end()) return std::nullopt;
            if (offset >= it->second.size()) return std::string();
            return it->second.substr(static_cast<std::size_t>(offset), limit);
        };
    }
};

} // namespace mireka::test
