// Fixed-size blocks carved from huge-page regions, returned to the system a region at a time.
#include "platform/LargeTextMemory.h"

#include "core/editor/SharedBlock.h"

#include <cstdint>
#include <map>
#include <mutex>
#include <new>

#include <sys/mman.h>

namespace mireka {

namespace {

class HugePageBlocks final : public BlockMemory {
public:
    void* Allocate(std::size_t bytes) override {
        const std::lock_guard lock(mutex_);
        if (slot_ == 0) slot_ = RoundUp(bytes, 64);
        // Only one size is pooled: a text's chunks all have its buffer's capacity.
        if (RoundUp(bytes, 64) != slot_) return ::operator new(bytes);
        for (auto& [base, region] : regions_) {
            if (void* p = Take(region)) return p;
        }
        Region& region = NewRegion();
        return Take(region);
    }

    void Free(void* p, std::size_t bytes) noexcept override {
        const std::lock_guard lock(mutex_);
        const auto at = reinterpret_cast<std::uintptr_t>(p);
        auto it = regions_.upper_bound(at);
        if (it == regions_.begin() || RoundUp(bytes, 64) != slot_) return ::operator delete(p);
        --it;
        Region& region = it->second;
        if (at >= it->first + kRegion) return ::operator delete(p);
        *static_cast<void**>(p) = region.free;
        region.free = p;
        if (--region.live == 0) {
            ::munmap(reinterpret_cast<void*>(it->first), kRegion);
            regions_.erase(it);
        }
    }

private:
    static constexpr std::size_t kHugePage = std::size_t{2} << 20;
    static constexpr std::size_t kRegion = std::size_t{32} << 20;

    struct Region {
        char* next = nullptr; // never handed out yet from here on
        char* end = nullptr;
        void* free = nullptr; // handed back, linked through their first bytes
        std::size_t live = 0;
    };

    static std::size_t RoundUp(std::size_t n, std::size_t to) { return (n + to - 1) / to * to; }

    void* Take(Region& region) noexcept {
        void* p = region.free;
        if (p) {
            region.free = *static_cast<void**>(p);
        } else if (static_cast<std::size_t>(region.end - region.next) >= slot_) {
            p = region.next;
            region.next += slot_;
        } else {
            return nullptr;
        }
        ++region.live;
        return p;
    }

    Region& NewRegion() {
        // Over-allocate to cut out an aligned region: huge pages need 2 MiB alignment.
        const std::size_t span = kRegion + kHugePage;
        void* raw =
            ::mmap(nullptr, span, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (raw == MAP_FAILED) throw std::bad_alloc();
        const auto start = reinterpret_cast<std::uintptr_t>(raw);
        const std::uintptr_t base = RoundUp(start, kHugePage);
        if (base > start) ::munmap(raw, base - start);
        if (const std::uintptr_t tail = start + span - (base + kRegion); tail > 0)
            ::munmap(reinterpret_cast<void*>(base + kRegion), tail);
#ifdef MADV_HUGEPAGE
        ::madvise(reinterpret_cast<void*>(base), kRegion, MADV_HUGEPAGE);
#endif
        Region& region = regions_[base];
        region.next = reinterpret_cast<char*>(base);
        region.end = region.next + kRegion;
        return region;
    }

    std::mutex mutex_;
    std::size_t slot_ = 0;
    std::map<std::uintptr_t, Region> regions_; // by base address
};

} // namespace

void UseHugePagesForLargeTexts() {
    // Never destroyed: blocks may be freed at any time until the process ends.
    static HugePageBlocks* const blocks = new HugePageBlocks;
    SetLargeTextMemory(blocks);
}

} // namespace mireka
