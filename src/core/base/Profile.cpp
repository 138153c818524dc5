// The profile functions over the current settings store.
#include "core/base/Profile.h"
#include "core/base/Text.h"

#include <atomic>
#include <charconv>
#include <limits>

namespace mireka {

namespace {
std::atomic<SettingsStore*> g_store{nullptr};
} // namespace

std::optional<int> ParseProfileInt(std::string_view text) noexcept {
    text = TrimWhiteSpace(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty() || text.front() < '0' || text.front() > '9') return std::nullopt;
    long long value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    if (negative) value = -value;
    if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max())
        return std::nullopt;
    return static_cast<int>(value);
}

void SetProfileStore(SettingsStore* store) noexcept {
    g_store.store(store);
}

SettingsStore* GetProfileStore() noexcept {
    return g_store.load();
}

int GetProfileInt(std::string_view section, std::string_view entry, int def) {
    const SettingsStore* store = GetProfileStore();
    if (!store) return def;
    return store->ReadInt(section, entry).value_or(def);
}

std::string GetProfileString(std::string_view section, std::string_view entry,
                             std::string_view def) {
    const SettingsStore* store = GetProfileStore();
    if (!store) return std::string(def);
    std::optional<std::string> value = store->ReadString(section, entry);
    return value ? *std::move(value) : std::string(def);
}

bool WriteProfileInt(std::string_view section, std::string_view entry, int value) {
    SettingsStore* store = GetProfileStore();
    return store && store->WriteInt(section, entry, value);
}

bool WriteProfileString(std::string_view section, const char* entry, const char* value) {
    SettingsStore* store = GetProfileStore();
    if (!store) return false;
    if (!entry) return store->DeleteSection(section);
    if (!value) return store->DeleteEntry(section, entry);
    return store->WriteString(section, entry, value);
}

} // namespace mireka
