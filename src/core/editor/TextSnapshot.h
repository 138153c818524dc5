// An unchanging copy of the editor text that shares the buffer's blocks, for writing the text out
// on another thread while editing goes on.
#pragma once

#include "core/editor/SharedBlock.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace mireka {

// Made by TextBuffer::Snapshot(). Later edits of the buffer copy a shared block before changing
// it, so a snapshot never changes and may be read and destroyed on any one thread.
class TextSnapshot {
public:
    TextSnapshot() = default;
    TextSnapshot(const TextSnapshot&) = delete;
    TextSnapshot& operator=(const TextSnapshot&) = delete;
    TextSnapshot(TextSnapshot&&) noexcept = default;
    TextSnapshot& operator=(TextSnapshot&&) noexcept = default;

    [[nodiscard]] std::int64_t Length() const noexcept { return length_; }
    // The text is the pieces in order; none is empty.
    [[nodiscard]] std::size_t PieceCount() const noexcept { return pieces_.size(); }
    [[nodiscard]] std::string_view Piece(std::size_t i) const noexcept {
        return {pieces_[i].block.Data(), pieces_[i].size};
    }
    [[nodiscard]] std::string Text() const;

private:
    friend class TextBuffer;
    struct SharedPiece {
        SharedBlock block;
        std::uint32_t size = 0;
    };
    std::vector<SharedPiece> pieces_;
    std::int64_t length_ = 0;
};

} // namespace mireka
