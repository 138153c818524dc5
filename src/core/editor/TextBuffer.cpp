// Chunked byte storage with per-chunk line breaks.
#include "core/editor/TextBuffer.h"

#include "core/base/Assert.h"

#include <algorithm>
#include <atomic>
#include <cstring>

namespace mireka {

namespace {

// Appends the offsets of LF bytes in `bytes` to `out`, each plus `base`.
void CollectBreaks(std::string_view bytes, std::uint32_t base, std::vector<std::uint16_t>& out) {
    const char* p = bytes.data();
    const char* end = p + bytes.size();
    while (p < end) {
        const void* hit = std::memchr(p, '\n', static_cast<std::size_t>(end - p));
        if (!hit) break;
        const char* lf = static_cast<const char*>(hit);
        out.push_back(static_cast<std::uint16_t>(base + (lf - bytes.data())));
        p = lf + 1;
    }
}

int CountBreaks(std::string_view bytes) {
    return static_cast<int>(std::count(bytes.begin(), bytes.end(), '\n'));
}

std::atomic<BlockMemory*> largeTextMemory{nullptr};

} // namespace

void SetLargeTextMemory(BlockMemory* memory) noexcept {
    largeTextMemory.store(memory, std::memory_order_release);
}

BlockMemory* LargeTextMemory() noexcept {
    return largeTextMemory.load(std::memory_order_acquire);
}

TextBuffer::TextBuffer(std::size_t chunkCapacity)
    : capacity_(std::clamp<std::size_t>(chunkCapacity, 2, kMaxChunkCapacity)) {
    chunks_.push_back(MakeChunk({}));
    RebuildTable(0);
}

TextBuffer::~TextBuffer() = default;

TextBuffer::Chunk TextBuffer::MakeChunk(std::string_view bytes) const {
    MIREKA_ASSERT(bytes.size() <= capacity_);
    Chunk ch;
    ch.block = SharedBlock::Allocate(capacity_);
    if (!bytes.empty()) std::memcpy(ch.block.MutableData(), bytes.data(), bytes.size());
    ch.size = static_cast<std::uint32_t>(bytes.size());
    CollectBreaks(bytes, 0, ch.breaks);
    return ch;
}

char* TextBuffer::Writable(Chunk& ch) const {
    if (!ch.block.Unique()) {
        SharedBlock copy = SharedBlock::Allocate(capacity_);
        std::memcpy(copy.MutableData(), ch.block.Data(), ch.size);
        ch.block = std::move(copy);
    }
    return ch.block.MutableData();
}

TextSnapshot TextBuffer::Snapshot() const {
    TextSnapshot snapshot;
    snapshot.pieces_.reserve(chunks_.size());
    for (const Chunk& ch : chunks_)
        if (ch.size > 0) snapshot.pieces_.push_back({ch.block, ch.size});
    snapshot.length_ = length_;
    return snapshot;
}

std::size_t TextBuffer::ChunkOfOffset(Offset pos) const noexcept {
    // The last chunk that starts at or before `pos`.
    std::size_t lo = 0;
    std::size_t hi = chunks_.size();
    while (hi - lo > 1) {
        const std::size_t mid = lo + (hi - lo) / 2;
        if (StartOf(mid) <= pos)
            lo = mid;
        else
            hi = mid;
    }
    return lo;
}

void TextBuffer::Settle() noexcept {
    // The table may still have the chunk count from before a split or merge.
    for (std::size_t c = stepFrom_; c < chunkStart_.size(); ++c) {
        chunkStart_[c] += stepBytes_;
        chunkLine_[c] += stepLines_;
    }
    stepFrom_ = chunkStart_.size();
    stepBytes_ = 0;
    stepLines_ = 0;
}

void TextBuffer::RebuildTable(std::size_t from) {
    Settle();
    chunkStart_.resize(chunks_.size());
    chunkLine_.resize(chunks_.size());
    Offset start = from == 0 ? 0 : chunkStart_[from - 1] + chunks_[from - 1].size;
    int line =
        from == 0 ? 0 : chunkLine_[from - 1] + static_cast<int>(chunks_[from - 1].breaks.size());
    for (std::size_t c = from; c < chunks_.size(); ++c) {
        chunkStart_[c] = start;
        chunkLine_[c] = line;
        start += chunks_[c].size;
        line += static_cast<int>(chunks_[c].breaks.size());
    }
    stepFrom_ = chunks_.size();
}

void TextBuffer::ShiftTable(std::size_t from, Offset bytes, int breaks) noexcept {
    // Moves the pending step to `from`, touching only the chunks in between, so edits that
    // follow each other closely (typing, replace all) cost little however long the text is.
    if (from > stepFrom_) {
        for (std::size_t c = stepFrom_; c < from && c < chunks_.size(); ++c) {
            chunkStart_[c] += stepBytes_;
            chunkLine_[c] += stepLines_;
        }
    } else {
        for (std::size_t c = from; c < stepFrom_; ++c) {
            chunkStart_[c] -= stepBytes_;
            chunkLine_[c] -= stepLines_;
        }
    }
    stepFrom_ = from;
    stepBytes_ += bytes;
    stepLines_ += breaks;
}

void TextBuffer::ReplaceChunkRange(std::size_t first, std::size_t last, std::string_view bytes) {
    std::vector<Chunk> made;
    if (!bytes.empty()) {
        // Even pieces, so that a chunk split by one keystroke leaves room for the next ones.
        const std::size_t pieces = (bytes.size() + capacity_ - 1) / capacity_;
        std::size_t done = 0;
        for (std::size_t i = 0; i < pieces; ++i) {
            const std::size_t upto = bytes.size() * (i + 1) / pieces;
            made.push_back(MakeChunk(bytes.substr(done, upto - done)));
            done = upto;
        }
    } else if (first == 0 && last + 1 == chunks_.size()) {
        made.push_back(MakeChunk({}));
    }
    auto at = chunks_.erase(chunks_.begin() + static_cast<std::ptrdiff_t>(first),
                            chunks_.begin() + static_cast<std::ptrdiff_t>(last) + 1);
    chunks_.insert(at, std::make_move_iterator(made.begin()), std::make_move_iterator(made.end()));
    RebuildTable(std::min(first, chunks_.size() - 1));
}

void TextBuffer::MergeSmall(std::size_t c) {
    if (chunks_.size() < 2 || c >= chunks_.size()) return;
    auto mergeInto = [this](std::size_t left) {
        Chunk& a = chunks_[left];
        Chunk& b = chunks_[left + 1];
        std::memcpy(Writable(a) + a.size, b.block.Data(), b.size);
        for (std::uint16_t lf : b.breaks)
            a.breaks.push_back(static_cast<std::uint16_t>(lf + a.size));
        a.size += b.size;
        chunks_.erase(chunks_.begin() + static_cast<std::ptrdiff_t>(left) + 1);
        RebuildTable(left);
    };
    const std::size_t half = capacity_ / 2;
    if (c + 1 < chunks_.size() && chunks_[c].size + chunks_[c + 1].size <= half)
        mergeInto(c);
    else if (c > 0 && chunks_[c - 1].size + chunks_[c].size <= half)
        mergeInto(c - 1);
}

char TextBuffer::At(Offset pos) const noexcept {
    const std::size_t c = ChunkOfOffset(pos);
    return chunks_[c].block.Data()[static_cast<std::size_t>(pos - StartOf(c))];
}

void TextBuffer::AppendTo(std::string& out, Offset start, Offset end) const {
    start = std::clamp<Offset>(start, 0, length_);
    end = std::clamp<Offset>(end, start, length_);
    if (start == end) return;
    out.reserve(out.size() + static_cast<std::size_t>(end - start));
    for (std::size_t c = ChunkOfOffset(start); c < chunks_.size() && StartOf(c) < end; ++c) {
        const Offset at = StartOf(c);
        const Offset from = std::max(start, at) - at;
        const Offset to = std::min<Offset>(end - at, chunks_[c].size);
        out.append(chunks_[c].block.Data() + from, static_cast<std::size_t>(to - from));
    }
}

std::string TextBuffer::Text(Offset start, Offset end) const {
    std::string out;
    AppendTo(out, start, end);
    return out;
}

Offset TextBuffer::FirstChangeSince(std::uint64_t revision) const noexcept {
    if (revision >= revision_) return length_;
    if (revision < textSetAt_ || revision_ - revision > kEditLog) return 0;
    Offset first = length_;
    for (std::uint64_t r = revision + 1; r <= revision_; ++r)
        first = std::min(first, editAt_[r % kEditLog]);
    return first;
}

void TextBuffer::SetText(std::string_view text) {
    Builder built(text.size(), capacity_);
    built.Append(text);
    SetText(std::move(built));
}

void TextBuffer::SetText(Builder&& built) {
    MIREKA_ASSERT(built.capacity_ == capacity_);
    ++revision_;
    textSetAt_ = revision_;
    if (built.chunks_.empty()) built.chunks_.push_back(MakeChunk({}));
    chunks_ = std::move(built.chunks_);
    length_ = built.length_;
    longestLine_ = std::max(built.longestLine_, built.length_ - built.lineStart_);
    RebuildTable(0);
    lineBreaks_ = LineOf(chunks_.size() - 1) + static_cast<int>(chunks_.back().breaks.size());
}

TextBuffer::Builder::Builder(std::size_t expectedBytes, std::size_t chunkCapacity)
    : capacity_(std::clamp<std::size_t>(chunkCapacity, 2, kMaxChunkCapacity)),
      memory_(expectedBytes >= kLargeText ? LargeTextMemory() : nullptr) {
    chunks_.reserve(expectedBytes / capacity_ + 1);
}

void TextBuffer::Builder::Append(std::string_view bytes) {
    while (!bytes.empty()) {
        if (chunks_.empty() || chunks_.back().size == capacity_) {
            // As many breaks as the chunk before, to spare the vector its growing steps.
            const std::size_t breaksBefore = chunks_.empty() ? 0 : chunks_.back().breaks.size();
            chunks_.emplace_back();
            chunks_.back().block = SharedBlock::Allocate(capacity_, memory_);
            chunks_.back().breaks.reserve(breaksBefore + breaksBefore / 8);
        }
        Chunk& ch = chunks_.back();
        const std::size_t n = std::min(capacity_ - ch.size, bytes.size());
        std::memcpy(ch.block.MutableData() + ch.size, bytes.data(), n);
        const std::size_t firstBreak = ch.breaks.size();
        CollectBreaks(bytes.substr(0, n), ch.size, ch.breaks);
        for (std::size_t k = firstBreak; k < ch.breaks.size(); ++k) {
            const std::size_t i = ch.breaks[k] - ch.size; // the LF's index in `bytes`
            const Offset at = length_ + static_cast<Offset>(i);
            const bool crBefore = i > 0 ? bytes[i - 1] == '\r' : endsInCr_;
            longestLine_ = std::max(longestLine_, (crBefore ? at - 1 : at) - lineStart_);
            lineStart_ = at + 1;
        }
        ch.size += static_cast<std::uint32_t>(n);
        length_ += static_cast<Offset>(n);
        endsInCr_ = bytes[n - 1] == '\r';
        bytes.remove_prefix(n);
    }
}

void TextBuffer::Insert(Offset pos, std::string_view text) {
    if (text.empty()) return;
    ++revision_;
    pos = std::clamp<Offset>(pos, 0, length_);
    editAt_[revision_ % kEditLog] = pos;
    const std::size_t c = ChunkOfOffset(pos);
    Chunk& ch = chunks_[c];
    const auto o = static_cast<std::size_t>(pos - StartOf(c));
    const int added = CountBreaks(text);
    length_ += static_cast<Offset>(text.size());
    lineBreaks_ += added;
    if (ch.size + text.size() <= capacity_) {
        char* d = Writable(ch);
        std::memmove(d + o + text.size(), d + o, ch.size - o);
        std::memcpy(d + o, text.data(), text.size());
        ch.size += static_cast<std::uint32_t>(text.size());
        auto it = std::lower_bound(ch.breaks.begin(), ch.breaks.end(), o);
        for (auto j = it; j != ch.breaks.end(); ++j)
            *j = static_cast<std::uint16_t>(*j + text.size());
        std::vector<std::uint16_t> fresh;
        CollectBreaks(text, static_cast<std::uint32_t>(o), fresh);
        ch.breaks.insert(it, fresh.begin(), fresh.end());
        ShiftTable(c + 1, static_cast<Offset>(text.size()), added);
    } else {
        std::string region;
        region.reserve(ch.size + text.size());
        region.append(ch.block.Data(), o);
        region.append(text);
        region.append(ch.block.Data() + o, ch.size - o);
        ReplaceChunkRange(c, c, region);
    }
    NoteLineLengthsAround(pos, pos + static_cast<Offset>(text.size()));
}

void TextBuffer::Erase(Offset start, Offset end) {
    start = std::clamp<Offset>(start, 0, length_);
    end = std::clamp<Offset>(end, start, length_);
    if (start == end) return;
    ++revision_;
    editAt_[revision_ % kEditLog] = start;
    const std::size_t c1 = ChunkOfOffset(start);
    const std::size_t c2 = ChunkOfOffset(end - 1);
    const auto o1 = static_cast<std::size_t>(start - StartOf(c1));
    const auto o2 = static_cast<std::size_t>(end - StartOf(c2));
    length_ -= end - start;
    if (c1 == c2) {
        Chunk& ch = chunks_[c1];
        const std::size_t n = o2 - o1;
        char* d = Writable(ch);
        std::memmove(d + o1, d + o2, ch.size - o2);
        ch.size -= static_cast<std::uint32_t>(n);
        auto first = std::lower_bound(ch.breaks.begin(), ch.breaks.end(), o1);
        auto last = std::lower_bound(first, ch.breaks.end(), o2);
        const int removed = static_cast<int>(last - first);
        for (auto j = last; j != ch.breaks.end(); ++j)
            *j = static_cast<std::uint16_t>(*j - n);
        ch.breaks.erase(first, last);
        lineBreaks_ -= removed;
        ShiftTable(c1 + 1, -static_cast<Offset>(n), -removed);
        if (ch.size == 0 && chunks_.size() > 1) {
            chunks_.erase(chunks_.begin() + static_cast<std::ptrdiff_t>(c1));
            RebuildTable(std::min(c1, chunks_.size() - 1));
        } else {
            MergeSmall(c1);
        }
    } else {
        const Chunk& a = chunks_[c1];
        const Chunk& b = chunks_[c2];
        const auto before1 =
            std::lower_bound(a.breaks.begin(), a.breaks.end(), o1) - a.breaks.begin();
        const auto before2 =
            std::lower_bound(b.breaks.begin(), b.breaks.end(), o2) - b.breaks.begin();
        lineBreaks_ -=
            (LineOf(c2) + static_cast<int>(before2)) - (LineOf(c1) + static_cast<int>(before1));
        std::string region;
        region.reserve(o1 + (b.size - o2));
        region.append(a.block.Data(), o1);
        region.append(b.block.Data() + o2, b.size - o2);
        ReplaceChunkRange(c1, c2, region);
        MergeSmall(std::min(c1, chunks_.size() - 1));
    }
    NoteLineLengthsAround(start, start);
}

void TextBuffer::NoteLineLengthsAround(Offset start, Offset end) {
    const Line last = LineFromOffset(end);
    for (Line line = LineFromOffset(start); line <= last; ++line)
        longestLine_ = std::max(longestLine_, LineLength(line));
}

Line TextBuffer::LineFromOffset(Offset pos) const noexcept {
    pos = std::clamp<Offset>(pos, 0, length_);
    const std::size_t c = ChunkOfOffset(pos);
    const auto& br = chunks_[c].breaks;
    const auto local = static_cast<std::uint32_t>(pos - StartOf(c));
    // A line starts right after its LF, so only breaks strictly before `pos` count.
    return Line(LineOf(c) +
                static_cast<int>(std::lower_bound(br.begin(), br.end(), local) - br.begin()));
}

Offset TextBuffer::LineStart(Line at) const noexcept {
    const int line = at.Index();
    if (line < 0 || line > lineBreaks_) return -1;
    if (line == 0) return 0;
    // The chunk holding LF number `line` is the last one with fewer LFs before it.
    std::size_t lo = 0;
    std::size_t hi = chunks_.size();
    while (hi - lo > 1) {
        const std::size_t mid = lo + (hi - lo) / 2;
        if (LineOf(mid) < line)
            lo = mid;
        else
            hi = mid;
    }
    return StartOf(lo) + chunks_[lo].breaks[static_cast<std::size_t>(line - LineOf(lo) - 1)] + 1;
}

Offset TextBuffer::LineEnd(Line line) const noexcept {
    const Offset start = LineStart(line);
    if (start < 0) return -1;
    if (line.Index() == lineBreaks_) return length_;
    const Offset lf = LineStart(line + 1) - 1;
    return (lf > start && At(lf - 1) == '\r') ? lf - 1 : lf;
}

std::size_t TextBuffer::MemoryUsed() const noexcept {
    std::size_t bytes = sizeof(*this) + chunks_.capacity() * sizeof(Chunk) +
                        chunkStart_.capacity() * sizeof(Offset) +
                        chunkLine_.capacity() * sizeof(int);
    for (const Chunk& ch : chunks_)
        bytes += capacity_ + ch.breaks.capacity() * sizeof(std::uint16_t);
    return bytes;
}

void TextBuffer::CheckInvariant() const {
    MIREKA_ASSERT(!chunks_.empty());
    MIREKA_ASSERT(chunkStart_.size() == chunks_.size() && chunkLine_.size() == chunks_.size());
    Offset start = 0;
    int line = 0;
    for (std::size_t c = 0; c < chunks_.size(); ++c) {
        const Chunk& ch = chunks_[c];
        MIREKA_ASSERT(ch.size <= capacity_);
        MIREKA_ASSERT(ch.size > 0 || chunks_.size() == 1);
        MIREKA_ASSERT(StartOf(c) == start && LineOf(c) == line);
        std::vector<std::uint16_t> expect;
        CollectBreaks(std::string_view(ch.block.Data(), ch.size), 0, expect);
        MIREKA_ASSERT(expect == ch.breaks);
        start += ch.size;
        line += static_cast<int>(ch.breaks.size());
    }
    MIREKA_ASSERT(start == length_ && line == lineBreaks_);
    MIREKA_ASSERT(longestLine_ >= 0);
}

} // namespace mireka
