// The editor text: bytes in chunks with a per-chunk line index, so that an edit anywhere costs
// one chunk's work plus a pass over the chunk table, never a pass over the whole text.
#pragma once

#include "core/base/Units.h"
#include "core/editor/SharedBlock.h"
#include "core/editor/TextSnapshot.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace mireka {

// A line ends after each LF. Loaded and typed text always ends lines in CR LF; a line's length
// excludes its CR LF (or a lone LF, should one ever be inserted).
class TextBuffer {
public:
    static constexpr std::size_t kDefaultChunkCapacity = 16384;
    static constexpr std::size_t kMaxChunkCapacity = 65536; // offsets inside a chunk fit 16 bits

    // Texts from this size on take their chunks from LargeTextMemory().
    static constexpr std::size_t kLargeText = std::size_t{1} << 22;

    class Builder;

    // `chunkCapacity` is injectable so that tests reach chunk boundaries with tiny texts.
    explicit TextBuffer(std::size_t chunkCapacity = kDefaultChunkCapacity);
    TextBuffer(const TextBuffer&) = delete;
    TextBuffer& operator=(const TextBuffer&) = delete;
    TextBuffer(TextBuffer&&) noexcept = default;
    TextBuffer& operator=(TextBuffer&&) noexcept = default;
    ~TextBuffer();

    [[nodiscard]] Offset Length() const noexcept { return length_; }
    [[nodiscard]] int LineCount() const noexcept { return lineBreaks_ + 1; }
    [[nodiscard]] bool Empty() const noexcept { return length_ == 0; }

    // Byte at `pos` (0 ≤ pos < Length()).
    [[nodiscard]] char At(Offset pos) const noexcept;
    [[nodiscard]] std::string Text() const { return Text(0, length_); }
    // Bytes [start, end), clamped to the text.
    [[nodiscard]] std::string Text(Offset start, Offset end) const;
    void AppendTo(std::string& out, Offset start, Offset end) const;

    // The text as it is now, sharing the chunks' bytes: costs a pointer per chunk, and the first
    // edit of each shared chunk afterwards copies that chunk.
    [[nodiscard]] TextSnapshot Snapshot() const;

    void SetText(std::string_view text);
    // Takes the built text, which must have this buffer's chunk capacity.
    void SetText(Builder&& built);
    [[nodiscard]] std::size_t ChunkCapacity() const noexcept { return capacity_; }
    void Insert(Offset pos, std::string_view text);
    void Erase(Offset start, Offset end);

    // Line containing `pos` (clamped to the text).
    [[nodiscard]] Line LineFromOffset(Offset pos) const noexcept;
    // First byte of `line`; -1 when the line does not exist.
    [[nodiscard]] Offset LineStart(Line line) const noexcept;
    // Offset right after the text of `line`, before its line break.
    [[nodiscard]] Offset LineEnd(Line line) const noexcept;
    [[nodiscard]] Offset LineLength(Line line) const noexcept {
        return LineEnd(line) - LineStart(line);
    }
    [[nodiscard]] std::string LineText(Line line) const {
        return Text(LineStart(line), LineEnd(line));
    }
    // Length of the longest line, kept as an upper watermark between SetText calls.
    [[nodiscard]] Offset LongestLineWatermark() const noexcept { return longestLine_; }
    // Changes with every edit, so that a window can keep what it measured until the text changes.
    [[nodiscard]] std::uint64_t Revision() const noexcept { return revision_; }
    // The lowest offset the edits after `revision` may have changed (bytes before it are as they
    // were then): Length() when there were none, 0 when they are no longer known.
    [[nodiscard]] Offset FirstChangeSince(std::uint64_t revision) const noexcept;

    // Aborts when the chunk table or the line index disagree with the bytes; for tests.
    void CheckInvariant() const;

    [[nodiscard]] std::size_t ChunkCount() const noexcept { return chunks_.size(); }
    // Bytes held by the text and its index, for memory measurements.
    [[nodiscard]] std::size_t MemoryUsed() const noexcept;

private:
    struct Chunk {
        SharedBlock block; // capacity_ bytes; written only while not shared with a snapshot
        std::uint32_t size = 0;
        std::vector<std::uint16_t> breaks; // offsets of LF bytes inside the chunk, ascending
    };

    [[nodiscard]] Chunk MakeChunk(std::string_view bytes) const;
    // The chunk's bytes for writing, copied first when a snapshot still shares them.
    [[nodiscard]] char* Writable(Chunk& ch) const;
    [[nodiscard]] std::size_t ChunkOfOffset(Offset pos) const noexcept;
    void RebuildTable(std::size_t from);
    void ShiftTable(std::size_t from, Offset bytes, int breaks) noexcept;
    void Settle() noexcept; // applies the pending step to every chunk after it
    [[nodiscard]] Offset StartOf(std::size_t c) const noexcept {
        return chunkStart_[c] + (c >= stepFrom_ ? stepBytes_ : 0);
    }
    [[nodiscard]] int LineOf(std::size_t c) const noexcept {
        return chunkLine_[c] + (c >= stepFrom_ ? stepLines_ : 0);
    }
    void ReplaceChunkRange(std::size_t first, std::size_t last, std::string_view bytes);
    void MergeSmall(std::size_t c);
    void NoteLineLengthsAround(Offset start, Offset end);

    std::size_t capacity_;
    std::vector<Chunk> chunks_;      // never empty; only a sole chunk may be empty
    std::vector<Offset> chunkStart_; // offset of each chunk's first byte, before the step
    std::vector<int> chunkLine_;     // LF bytes before each chunk, before the step
    // Chunks from stepFrom_ on are still owed stepBytes_ and stepLines_ (read them through
    // StartOf and LineOf), so an edit shifts only the chunks between it and the previous one.
    std::size_t stepFrom_ = 0;
    Offset stepBytes_ = 0;
    int stepLines_ = 0;
    Offset length_ = 0;
    int lineBreaks_ = 0;
    Offset longestLine_ = 0;
    std::uint64_t revision_ = 0;
    // Where the edit that made revision r began, at r % kEditLog; the last few edits only.
    static constexpr std::uint64_t kEditLog = 16;
    std::array<Offset, kEditLog> editAt_{};
    std::uint64_t textSetAt_ = 0; // the revision SetText made
};

// Builds a text from consecutive pieces straight into chunk storage, so that loading a file
// copies its bytes once. A text expected to be large takes its chunks from LargeTextMemory().
class TextBuffer::Builder {
public:
    explicit Builder(std::size_t expectedBytes = 0,
                     std::size_t chunkCapacity = TextBuffer::kDefaultChunkCapacity);
    void Append(std::string_view bytes);
    [[nodiscard]] Offset Length() const noexcept { return length_; }

private:
    friend class TextBuffer;
    std::size_t capacity_;
    BlockMemory* memory_;
    std::vector<Chunk> chunks_;
    Offset length_ = 0;
    Offset lineStart_ = 0;
    Offset longestLine_ = 0;
    bool endsInCr_ = false;
};

} // namespace mireka
