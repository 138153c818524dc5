// The recent-file list.
#include "core/app/RecentFileList.h"

#include "core/base/Profile.h"

#include <algorithm>

namespace mireka {

namespace {

constexpr const char* kSection = "Recent File List";

std::string EntryName(int n) {
    return "File" + std::to_string(n);
}

} // namespace

void RecentFileList::Add(const std::string& path) {
    if (path.empty()) return;
    items_.erase(std::remove(items_.begin(), items_.end(), path), items_.end());
    items_.insert(items_.begin(), path);
    if (static_cast<int>(items_.size()) > size_) items_.resize(static_cast<std::size_t>(size_));
}

void RecentFileList::Remove(std::size_t index) {
    if (index < items_.size()) items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(index));
}

void RecentFileList::ReadList() {
    items_.clear();
    for (int n = 1; n <= size_; ++n) {
        std::string path = GetProfileString(kSection, EntryName(n));
        if (!path.empty() && std::find(items_.begin(), items_.end(), path) == items_.end())
            items_.push_back(std::move(path));
    }
}

void RecentFileList::WriteList() const {
    WriteProfileString(kSection, nullptr, nullptr);
    for (std::size_t i = 0; i < items_.size(); ++i)
        WriteProfileString(kSection, EntryName(static_cast<int>(i) + 1), items_[i]);
}

std::string RecentFileList::AbbreviateName(const std::string& path, std::size_t maxChars,
                                           PathStyle style) {
    const auto fits = [&](std::string_view s) { return PathCharCount(s, style) <= maxChars; };
    if (fits(path)) return path;
    // Characters are stepped over whole, so a trail byte equal to a backslash never separates.
    std::vector<std::size_t> seps;
    for (std::size_t i = 0; i < path.size(); i += PathCharLength(path, i, style))
        if (IsPathSeparator(path[i], style)) seps.push_back(i);
    if (seps.empty()) return path;
    const std::string name = path.substr(seps.back() + 1);
    if (seps.size() < 2) return fits(name) ? path : name;
    const std::string root = path.substr(0, seps.front() + 1); // "/", "C:\" …
    // Try the longest tail that fits behind root + "...".
    for (std::size_t k = 1; k < seps.size(); ++k) {
        const std::string candidate = root + "..." + path.substr(seps[k]);
        if (fits(candidate)) return candidate;
    }
    return name;
}

} // namespace mireka
