// The in-memory settings store.
#include "core/base/MemorySettingsStore.h"

namespace mireka {

const std::string* MemorySettingsStore::Find(std::string_view section,
                                             std::string_view entry) const {
    const auto s = sections_.find(section);
    if (s == sections_.end()) return nullptr;
    const auto e = s->second.find(entry);
    return e == s->second.end() ? nullptr : &e->second;
}

std::optional<int> MemorySettingsStore::ReadInt(std::string_view section,
                                                std::string_view entry) const {
    const std::string* v = Find(section, entry);
    return v ? ParseProfileInt(*v) : std::nullopt;
}

std::optional<std::string> MemorySettingsStore::ReadString(std::string_view section,
                                                           std::string_view entry) const {
    const std::string* v = Find(section, entry);
    if (!v) return std::nullopt;
    return *v;
}

bool MemorySettingsStore::Write(std::string_view section, std::string_view entry,
                                std::string value) {
    if (readOnly_ || section.empty() || entry.empty()) return false;
    auto s = sections_.find(section);
    if (s == sections_.end()) s = sections_.emplace(std::string(section), Section{}).first;
    auto e = s->second.find(entry);
    if (e == s->second.end())
        s->second.emplace(std::string(entry), std::move(value));
    else
        e->second = std::move(value);
    return true;
}

bool MemorySettingsStore::WriteInt(std::string_view section, std::string_view entry, int value) {
    return Write(section, entry, std::to_string(value));
}

bool MemorySettingsStore::WriteString(std::string_view section, std::string_view entry,
                                      std::string_view value) {
    return Write(section, entry, std::string(value));
}

// Deleting what is not there succeeds: the result the caller wanted holds.
bool MemorySettingsStore::DeleteEntry(std::string_view section, std::string_view entry) {
    if (readOnly_) return false;
    const auto s = sections_.find(section);
    if (s == sections_.end()) return true;
    const auto e = s->second.find(entry);
    if (e != s->second.end()) s->second.erase(e);
    return true;
}

bool MemorySettingsStore::DeleteSection(std::string_view section) {
    if (readOnly_) return false;
    const auto s = sections_.find(section);
    if (s != sections_.end()) sections_.erase(s);
    return true;
}

bool MemorySettingsStore::HasSection(std::string_view section) const {
    return sections_.find(section) != sections_.end();
}

std::size_t MemorySettingsStore::EntryCount(std::string_view section) const {
    const auto s = sections_.find(section);
    return s == sections_.end() ? 0 : s->second.size();
}

} // namespace mireka
