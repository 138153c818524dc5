// The recent-file list: most recent first, stored as "Recent File List" / "File%d".
#pragma once

#include "core/base/Paths.h"

#include <string>
#include <vector>

namespace mireka {

class RecentFileList {
public:
    explicit RecentFileList(int size = 4) : size_(size) {}

    [[nodiscard]] const std::vector<std::string>& Items() const noexcept { return items_; }
    [[nodiscard]] int Size() const noexcept { return size_; }
    // Moves `path` to the top (adding it when new), dropping the oldest beyond the size.
    void Add(const std::string& path);
    void Remove(std::size_t index);

    // Through the profile functions: read at start, rewritten at exit (the section is deleted
    // first and the non-empty entries written again).
    void ReadList();
    void WriteList() const;

    // The text shown in the menu: the path shortened to `maxChars` characters by replacing
    // leading folders with "...", keeping the root and as many trailing components as fit; the
    // file name alone when even that is too long. A double-byte or UTF-8 character counts as
    // one and is never cut.
    [[nodiscard]] static std::string AbbreviateName(const std::string& path, std::size_t maxChars,
                                                    PathStyle style = kNativePathStyle);

private:
    int size_;
    std::vector<std::string> items_;
};

} // namespace mireka
