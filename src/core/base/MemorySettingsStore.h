// A settings store held in memory: the fake that tests give the profile functions.
#pragma once

#include "core/base/Profile.h"

#include <functional>
#include <map>
#include <string>

namespace mireka {

// Values are text, as in the INI file the program keeps on this platform: an integer reads back
// as its decimal text and a numeric string as an integer. Empty section or entry names are
// refused, as the store on disk refuses them.
class MemorySettingsStore final : public SettingsStore {
public:
    using Section = std::map<std::string, std::string, std::less<>>;

    [[nodiscard]] std::optional<int> ReadInt(std::string_view section,
                                             std::string_view entry) const override;
    [[nodiscard]] std::optional<std::string> ReadString(std::string_view section,
                                                        std::string_view entry) const override;
    bool WriteInt(std::string_view section, std::string_view entry, int value) override;
    bool WriteString(std::string_view section, std::string_view entry,
                     std::string_view value) override;
    bool DeleteEntry(std::string_view section, std::string_view entry) override;
    bool DeleteSection(std::string_view section) override;

    [[nodiscard]] bool HasSection(std::string_view section) const;
    [[nodiscard]] std::size_t EntryCount(std::string_view section) const;
    // Makes every later write fail, to test callers' handling of a store that cannot be written.
    void SetReadOnly(bool readOnly) noexcept { readOnly_ = readOnly; }

private:
    [[nodiscard]] const std::string* Find(std::string_view section, std::string_view entry) const;
    bool Write(std::string_view section, std::string_view entry, std::string value);

    std::map<std::string, Section, std::less<>> sections_;
    bool readOnly_ = false;
};

} // namespace mireka
