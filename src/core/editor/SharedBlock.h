// A fixed-size byte block that a text buffer and its snapshots share; it is written only by an
// owner that holds it alone.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <new>
#include <utility>

namespace mireka {

class SharedBlock {
public:
    SharedBlock() noexcept = default;
    // `capacity` bytes, left uninitialised.
    [[nodiscard]] static SharedBlock Allocate(std::size_t capacity) {
        SharedBlock block;
        block.header_ = new (::operator new(sizeof(Header) + capacity)) Header;
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
            header_->~Header();
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
        std::atomic<std::uint32_t> refs{1};
    };
    Header* header_ = nullptr;
};

} // namespace mireka
