// A fixed-size byte block that a text buffer and its snapshots share; it is written only by an
// owner that holds it alone.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <new>
#include <utility>

namespace mireka {

// Where blocks may come from besides operator new. The platform offers memory that the system
// backs with huge pages, which makes a large file's first touch of its storage far cheaper.
// Used from any thread.
class BlockMemory {
public:
    virtual ~BlockMemory() = default;
    [[nodiscard]] virtual void* Allocate(std::size_t bytes) = 0; // throws std::bad_alloc
    virtual void Free(void* p, std::size_t bytes) noexcept = 0;
};

// The memory for large texts, or null for operator new. Set once at start, before any thread
// allocates; it must outlive every block.
void SetLargeTextMemory(BlockMemory* memory) noexcept;
[[nodiscard]] BlockMemory* LargeTextMemory() noexcept;

class SharedBlock {
public:
    SharedBlock() noexcept = default;
    // `capacity` bytes, left uninitialised, from `memory` (operator new when null).
    [[nodiscard]] static SharedBlock Allocate(std::size_t capacity, BlockMemory* memory = nullptr) {
        SharedBlock block;
        const std::size_t bytes = sizeof(Header) + capacity;
        void* raw = memory ? memory->Allocate(bytes) : ::operator new(bytes);
        block.header_ = new (raw) Header{{1}, static_cast<std::uint32_t>(capacity), memory};
        return block;
    }

    SharedBlock(const SharedBlock& other) noexcept : header_(other.header_) {
        // Whoever hands the copy to another thread synchronises with it; the count itself
        // orders nothing.
        if (header_) header_->refs.fetch_add(1, std::memory_order_relaxed);
    }
    SharedBlock(SharedBlock&& other) noexcept : header_(std::exchange(other.header_, nullptr)) {}
    SharedBlock& operator=(SharedBlock other) noexcept {
        std::swap(header_, other.header_);
        return *this;
    }
    ~SharedBlock() {
        // acq_rel: the last owner frees only after every other owner's reads are done.
        if (header_ && header_->refs.fetch_sub(1, std::memory_order_acq_rel) == 1) {
            BlockMemory* memory = header_->memory;
            const std::size_t bytes = sizeof(Header) + header_->capacity;
            header_->~Header();
            if (memory)
                memory->Free(header_, bytes);
            else
                ::operator delete(header_);
        }
    }

    [[nodiscard]] const char* Data() const noexcept {
        return reinterpret_cast<const char*>(header_ + 1);
    }
    // Only for a Unique() block: other owners read it without locks.
    [[nodiscard]] char* MutableData() noexcept { return reinterpret_cast<char*>(header_ + 1); }
    // Acquire: a snapshot released on another thread has finished reading before this says yes.
    [[nodiscard]] bool Unique() const noexcept {
        return header_->refs.load(std::memory_order_acquire) == 1;
    }

private:
    struct Header {
        std::atomic<std::uint32_t> refs;
        std::uint32_t capacity;
        BlockMemory* memory;
    };
    Header* header_ = nullptr;
};

} // namespace mireka
