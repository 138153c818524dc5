// The environment every child process of the program starts with: a copy of the process
// environment that the build changes (INCLUDE, LIB, PATH) without ever writing to the process's
// own, so that no thread changes what another thread may be reading.
#pragma once

#include "core/toolchain/Environment.h"

#include <QProcessEnvironment>

#include <map>
#include <mutex>
#include <string>

namespace mireka {

// Orders variable names as the system compares them: without case on Windows.
struct EnvironmentNameLess {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const noexcept;
};

class ProgramEnvironment final : public Environment {
public:
    // The one copy of the program, taken from the process environment when first used.
    static ProgramEnvironment& Instance();

    ProgramEnvironment();

    [[nodiscard]] std::optional<std::string> Get(std::string_view name) const override;
    bool Set(std::string_view name, std::string_view value) override;
    bool Unset(std::string_view name);

    // What a child process gets, as it is at this moment.
    [[nodiscard]] QProcessEnvironment Snapshot() const;

    // Starts again from the process environment, forgetting every change (tests).
    void Reload();

private:
    mutable std::mutex mutex_;
    std::map<std::string, std::string, EnvironmentNameLess> vars_;
};

} // namespace mireka
