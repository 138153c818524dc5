// The settings store over QSettings.
#include "platform/QtSettingsStore.h"

#include "platform/System.h"

#include <QSettings>
#include <QStringList>

#include <limits>
#include <utility>

namespace mireka {

namespace {

QString FromLocal(std::string_view s) {
    return QString::fromLocal8Bit(s.data(), static_cast<qsizetype>(s.size()));
}

bool RoundTrips(std::string_view s, const QString& q) {
    const QByteArray back = q.toLocal8Bit();
    return std::string_view(back.constData(), static_cast<std::size_t>(back.size())) == s;
}

// A name QSettings would split, merge or mangle is refused rather than stored elsewhere.
std::optional<QString> Name(std::string_view s) {
    if (s.empty() || s.find_first_of("/\\") != std::string_view::npos) return std::nullopt;
    QString q = FromLocal(s);
    if (!RoundTrips(s, q)) return std::nullopt;
    return q;
}

std::optional<QString> Key(std::string_view section, std::string_view entry) {
    const std::optional<QString> s = Name(section);
    const std::optional<QString> e = Name(entry);
    if (!s || !e) return std::nullopt;
    return *s + QLatin1Char('/') + *e;
}

std::string ToStd(const QByteArray& b) {
    return std::string(b.constData(), static_cast<std::size_t>(b.size()));
}

bool IsNumber(const QVariant& v) {
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return true;
    default:
        return false;
    }
}

} // namespace

QtSettingsStore::QtSettingsStore()
    : settings_(std::make_unique<QSettings>(sys::SettingsFormat(), QSettings::UserScope,
                                            QStringLiteral("UMO Software"),
                                            QStringLiteral("Mireka"))) {
    // A system-wide or organisation-wide file must not show through a deleted section.
    settings_->setFallbacksEnabled(false);
}

QtSettingsStore::QtSettingsStore(const QString& iniPath)
    : settings_(std::make_unique<QSettings>(iniPath, QSettings::IniFormat)) {
    settings_->setFallbacksEnabled(false);
}

QtSettingsStore::~QtSettingsStore() = default;

std::optional<int> QtSettingsStore::ReadInt(std::string_view section,
                                            std::string_view entry) const {
    const std::optional<QString> key = Key(section, entry);
    if (!key) return std::nullopt;
    const QVariant v = settings_->value(*key);
    if (IsNumber(v)) {
        bool ok = false;
        const qlonglong n = v.toLongLong(&ok);
        // The registry hands a DWORD over unsigned; it is the same 32 bits as a signed value.
        if (ok && n >= std::numeric_limits<int>::min() &&
            n <= static_cast<qlonglong>(std::numeric_limits<unsigned>::max()))
            return static_cast<int>(static_cast<unsigned>(n));
        return std::nullopt;
    }
    switch (v.typeId()) {
    case QMetaType::QString:
        return ParseProfileInt(v.toString().toStdString());
    case QMetaType::QByteArray:
        return ParseProfileInt(ToStd(v.toByteArray()));
    default:
        return std::nullopt;
    }
}

std::optional<std::string> QtSettingsStore::ReadString(std::string_view section,
                                                       std::string_view entry) const {
    const std::optional<QString> key = Key(section, entry);
    if (!key) return std::nullopt;
    const QVariant v = settings_->value(*key);
    // An integer written in this run has not been through the file yet.
    if (IsNumber(v)) return ToStd(v.toString().toLocal8Bit());
    switch (v.typeId()) {
    case QMetaType::QString:
        return ToStd(v.toString().toLocal8Bit());
    case QMetaType::QByteArray:
        return ToStd(v.toByteArray());
    case QMetaType::QStringList:
        // An unquoted comma in a hand-edited file splits the value; put it back together.
        return ToStd(v.toStringList().join(QLatin1Char(',')).toLocal8Bit());
    default:
        return std::nullopt;
    }
}

bool QtSettingsStore::Writable() const {
    return settings_->isWritable() && settings_->status() != QSettings::AccessError;
}

bool QtSettingsStore::WriteInt(std::string_view section, std::string_view entry, int value) {
    const std::optional<QString> key = Key(section, entry);
    if (!key) return false;
    if (!settings_->isWritable()) return Refused();
    settings_->setValue(*key, value);
    return Writable() || Refused();
}

bool QtSettingsStore::WriteString(std::string_view section, std::string_view entry,
                                  std::string_view value) {
    const std::optional<QString> key = Key(section, entry);
    if (!key) return false;
    if (!settings_->isWritable()) return Refused();
    const QString text = FromLocal(value);
    if (RoundTrips(value, text))
        settings_->setValue(*key, text);
    else
        settings_->setValue(*key, QByteArray(value.data(), static_cast<qsizetype>(value.size())));
    return Writable() || Refused();
}

bool QtSettingsStore::DeleteEntry(std::string_view section, std::string_view entry) {
    const std::optional<QString> key = Key(section, entry);
    if (!key) return false;
    if (!settings_->isWritable()) return Refused();
    settings_->remove(*key);
    return Writable() || Refused();
}

bool QtSettingsStore::DeleteSection(std::string_view section) {
    const std::optional<QString> name = Name(section);
    if (!name) return false;
    if (!settings_->isWritable()) return Refused();
    settings_->remove(*name);
    return Writable() || Refused();
}

bool QtSettingsStore::Sync() {
    settings_->sync();
    return settings_->status() != QSettings::AccessError || Refused();
}

void QtSettingsStore::OnWriteRefused(std::function<void()> report) {
    report_ = std::move(report);
}

bool QtSettingsStore::CheckWritable() {
    return Writable() || Refused();
}

bool QtSettingsStore::Refused() {
    if (!reported_ && report_) {
        reported_ = true;
        report_();
    }
    return false;
}

QString QtSettingsStore::FileName() const {
    return settings_->fileName();
}

} // namespace mireka
