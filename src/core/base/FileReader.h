// How core reads the few files it reads itself: through a function the platform supplies, so
// that only the platform opens files and tests can hand core their bytes directly.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <limits>
#include <optional>
#include <string>

namespace mireka {

// Up to `limit` bytes of the regular file `path` from `offset` (fewer at its end); nothing when
// the path names no regular file or it cannot be read.
using ReadFilePart = std::function<std::optional<std::string>(
    const std::string& path, std::uint64_t offset, std::size_t limit)>;

inline constexpr std::size_t kWholeFile = std::numeric_limits<std::size_t>::max();

} // namespace mireka
