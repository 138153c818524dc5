// FNV-1a, 64 bits: a fast change detector over bytes that may arrive in pieces; never a guard
// against anyone.
#pragma once

#include <cstdint>
#include <string_view>

namespace mireka {

inline constexpr std::uint64_t kFnvStart = 0xcbf29ce484222325ULL;

// The hash of `bytes` continued from `h` (kFnvStart for a fresh one).
[[nodiscard]] inline std::uint64_t Fnv1a64(std::string_view bytes,
                                           std::uint64_t h = kFnvStart) noexcept {
    for (const char c : bytes) {
        h ^= static_cast<unsigned char>(c);
        h *= 0x100000001b3ULL;
    }
    return h;
}

} // namespace mireka
