// The program's copy of the environment.
#include "platform/ProgramEnvironment.h"

#include <QString>

#include <algorithm>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace mireka {

namespace {

using Variables = std::map<std::string, std::string, EnvironmentNameLess>;

Variables ReadProcessEnvironment() {
    Variables vars;
#ifdef _WIN32
    const QProcessEnvironment system = QProcessEnvironment::systemEnvironment();
    for (const QString& key : system.keys())
        vars.insert_or_assign(key.toLocal8Bit().toStdString(),
                              system.value(key).toLocal8Bit().toStdString());
#else
    // The bytes as they are: a value that is not valid text in the locale stays intact.
    for (char** e = environ; e && *e; ++e) {
        const std::string_view entry(*e);
        const std::size_t eq = entry.find('=');
        if (eq == std::string_view::npos || eq == 0) continue;
        vars.emplace(std::string(entry.substr(0, eq)), std::string(entry.substr(eq + 1)));
    }
#endif
    return vars;
}

} // namespace

bool EnvironmentNameLess::operator()(std::string_view a, std::string_view b) const noexcept {
#ifdef _WIN32
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const auto fold = [](char c) {
            return static_cast<unsigned char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
        };
        if (fold(a[i]) != fold(b[i])) return fold(a[i]) < fold(b[i]);
    }
    return a.size() < b.size();
#else
    return a < b;
#endif
}

ProgramEnvironment& ProgramEnvironment::Instance() {
    static ProgramEnvironment env;
    return env;
}

ProgramEnvironment::ProgramEnvironment() : vars_(ReadProcessEnvironment()) {}

std::optional<std::string> ProgramEnvironment::Get(std::string_view name) const {
    const std::lock_guard lock(mutex_);
    const auto it = vars_.find(name);
    if (it == vars_.end()) return std::nullopt;
    return it->second;
}

bool ProgramEnvironment::Set(std::string_view name, std::string_view value) {
    if (name.empty() || name.find('=') != std::string_view::npos ||
        name.find('\0') != std::string_view::npos || value.find('\0') != std::string_view::npos)
        return false;
    const std::lock_guard lock(mutex_);
    vars_.insert_or_assign(std::string(name), std::string(value));
    return true;
}

bool ProgramEnvironment::Unset(std::string_view name) {
    const std::lock_guard lock(mutex_);
    const auto it = vars_.find(name);
    if (it == vars_.end()) return false;
    vars_.erase(it);
    return true;
}

QProcessEnvironment ProgramEnvironment::Snapshot() const {
    const std::lock_guard lock(mutex_);
    QProcessEnvironment env;
    for (const auto& [name, value] : vars_)
        env.insert(QString::fromLocal8Bit(name), QString::fromLocal8Bit(value));
    return env;
}

void ProgramEnvironment::Reload() {
    auto fresh = ReadProcessEnvironment();
    const std::lock_guard lock(mutex_);
    vars_ = std::move(fresh);
}

} // namespace mireka
