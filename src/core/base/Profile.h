// The per-user settings store (company, application, section, entry) and the four profile
// functions through which every part of the program reads and writes its settings.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace mireka {

// The section that holds most of the program's own settings.
inline constexpr std::string_view kSettingsSection = "Settings";

// A backing store. Reads yield nothing for a missing or unreadable value; the profile functions
// turn that into the caller's default.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    [[nodiscard]] virtual std::optional<int> ReadInt(std::string_view section,
                                                     std::string_view entry) const = 0;
    [[nodiscard]] virtual std::optional<std::string> ReadString(std::string_view section,
                                                                std::string_view entry) const = 0;
    virtual bool WriteInt(std::string_view section, std::string_view entry, int value) = 0;
    virtual bool WriteString(std::string_view section, std::string_view entry,
                             std::string_view value) = 0;
    virtual bool DeleteEntry(std::string_view section, std::string_view entry) = 0;
    virtual bool DeleteSection(std::string_view section) = 0;
};

// An integer as the INI store spells it: decimal digits with an optional sign, white space around
// allowed, within 32 bits; nothing for any other text.
[[nodiscard]] std::optional<int> ParseProfileInt(std::string_view text) noexcept;

// The store the profile functions use; none means every read gives its default and every write
// fails. The caller keeps ownership.
void SetProfileStore(SettingsStore* store) noexcept;
[[nodiscard]] SettingsStore* GetProfileStore() noexcept;

[[nodiscard]] int GetProfileInt(std::string_view section, std::string_view entry, int def);
[[nodiscard]] std::string GetProfileString(std::string_view section, std::string_view entry,
                                           std::string_view def = {});
bool WriteProfileInt(std::string_view section, std::string_view entry, int value);
// With no entry the whole section is deleted; with an entry but no value, that entry.
bool WriteProfileString(std::string_view section, const char* entry, const char* value);
inline bool WriteProfileString(std::string_view section, std::string_view entry,
                               std::string_view value) {
    return GetProfileStore() && GetProfileStore()->WriteString(section, entry, value);
}

// Makes `store` the profile store for the lifetime of the guard (tests, start-up).
class ScopedProfileStore {
public:
    explicit ScopedProfileStore(SettingsStore* store) noexcept : previous_(GetProfileStore()) {
        SetProfileStore(store);
    }
    ~ScopedProfileStore() { SetProfileStore(previous_); }
    ScopedProfileStore(const ScopedProfileStore&) = delete;
    ScopedProfileStore& operator=(const ScopedProfileStore&) = delete;

private:
    SettingsStore* previous_;
};

} // namespace mireka
