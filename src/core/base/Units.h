// What the editor counts in. Byte offsets are what every algorithm works on; a line number has a
// type of its own, so that a line passed where an offset is wanted, or an offset where a line
// is, does not compile.
#pragma once

#include <cstdint>

namespace mireka {

// Bytes from the start of a text.
using Offset = std::int64_t;

// A line of a text, counted from 0. -1 stands for "none" or "the caret's" only where a message
// of the edit control defines it so.
class Line {
public:
    constexpr Line() noexcept = default;
    constexpr explicit Line(int index) noexcept : index_(index) {}

    [[nodiscard]] constexpr int Index() const noexcept { return index_; }

    // Written out rather than defaulted: Qt's moc, which reads the headers too, cannot parse the
    // standard library's comparison header.
    friend constexpr bool operator==(Line a, Line b) noexcept { return a.index_ == b.index_; }
    friend constexpr bool operator!=(Line a, Line b) noexcept { return a.index_ != b.index_; }
    friend constexpr bool operator<(Line a, Line b) noexcept { return a.index_ < b.index_; }
    friend constexpr bool operator<=(Line a, Line b) noexcept { return a.index_ <= b.index_; }
    friend constexpr bool operator>(Line a, Line b) noexcept { return a.index_ > b.index_; }
    friend constexpr bool operator>=(Line a, Line b) noexcept { return a.index_ >= b.index_; }
    constexpr Line& operator++() noexcept {
        ++index_;
        return *this;
    }
    constexpr Line& operator--() noexcept {
        --index_;
        return *this;
    }
    constexpr Line& operator+=(int n) noexcept {
        index_ += n;
        return *this;
    }
    friend constexpr Line operator+(Line line, int n) noexcept { return Line(line.index_ + n); }
    friend constexpr Line operator-(Line line, int n) noexcept { return Line(line.index_ - n); }
    // Lines from `b` down to `a`.
    friend constexpr int operator-(Line a, Line b) noexcept { return a.index_ - b.index_; }

private:
    int index_ = 0;
};

// Cells of the edit control's grid, whole: a single-byte character takes one, a double-byte
// character two, a tab runs to the next stop. A point inside a cell (the mouse) is a plain
// fractional cell position.
class Cells {
public:
    constexpr Cells() noexcept = default;
    constexpr explicit Cells(std::int64_t count) noexcept : count_(count) {}

    [[nodiscard]] constexpr std::int64_t Count() const noexcept { return count_; }

    friend constexpr bool operator==(Cells a, Cells b) noexcept { return a.count_ == b.count_; }
    friend constexpr bool operator!=(Cells a, Cells b) noexcept { return a.count_ != b.count_; }
    friend constexpr bool operator<(Cells a, Cells b) noexcept { return a.count_ < b.count_; }
    friend constexpr bool operator<=(Cells a, Cells b) noexcept { return a.count_ <= b.count_; }
    friend constexpr bool operator>(Cells a, Cells b) noexcept { return a.count_ > b.count_; }
    friend constexpr bool operator>=(Cells a, Cells b) noexcept { return a.count_ >= b.count_; }
    friend constexpr Cells operator+(Cells a, Cells b) noexcept {
        return Cells(a.count_ + b.count_);
    }
    friend constexpr Cells operator-(Cells a, Cells b) noexcept {
        return Cells(a.count_ - b.count_);
    }

private:
    std::int64_t count_ = 0;
};

} // namespace mireka
