// The program's copy of the environment.
#include "platform/ProgramEnvironment.h"

#include "platform/System.h"

#include <QString>

#include <algorithm>

namespace mireka {

namespace {

using Variables = std::map<std::string, std::string, EnvironmentNameLess>;

Variables ReadProcessEnvironment() {
    Variables vars;
    sys::ForEachEnvironmentVariable([&vars](std::string name, std::string value) {
        vars.insert_or_assign(std::move(name), std::move(value));
    });
    return vars;
}

} // namespace

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
