// The settings store over QSettings: one group per section, one key per entry.
#pragma once

#include "core/base/Profile.h"

#include <QString>

#include <functional>
#include <memory>

class QSettings;

namespace mireka {

// Strings cross as the system's multibyte text; a string the locale cannot carry is kept as raw
// bytes so that it comes back unchanged. An INI file cannot tell an integer from its decimal
// text, so there an integer also reads as a string and a numeric string as an integer; the
// registry keeps the two types apart. Section and entry names must be non-empty and must not
// hold "/" or "\\" (which would make nested groups): such names read as missing and fail to be
// written. Use from one thread.
class QtSettingsStore final : public SettingsStore {
public:
    // The user's store of "UMO Software" / "Mireka": an INI file under the user's config
    // directory, the registry on Windows.
    QtSettingsStore();
    // An INI file at `iniPath`.
    explicit QtSettingsStore(const QString& iniPath);
    ~QtSettingsStore() override;
    QtSettingsStore(const QtSettingsStore&) = delete;
    QtSettingsStore& operator=(const QtSettingsStore&) = delete;

    [[nodiscard]] std::optional<int> ReadInt(std::string_view section,
                                             std::string_view entry) const override;
    [[nodiscard]] std::optional<std::string> ReadString(std::string_view section,
                                                        std::string_view entry) const override;
    bool WriteInt(std::string_view section, std::string_view entry, int value) override;
    bool WriteString(std::string_view section, std::string_view entry,
                     std::string_view value) override;
    bool DeleteEntry(std::string_view section, std::string_view entry) override;
    bool DeleteSection(std::string_view section) override;

    // Writes pending changes now (they are also written from the event loop and at
    // destruction); false when the file could not be written.
    bool Sync();
    [[nodiscard]] QString FileName() const;

    // `report` is called once, at the first write the file refuses (a folder that is read-only
    // or cannot be made); the values stay readable for the rest of the run.
    void OnWriteRefused(std::function<void()> report);
    // Whether the file can be written now; a no is reported like a refused write.
    bool CheckWritable();

private:
    [[nodiscard]] bool Writable() const;
    bool Refused();

    std::unique_ptr<QSettings> settings_;
    std::function<void()> report_;
    bool reported_ = false;
};

} // namespace mireka
