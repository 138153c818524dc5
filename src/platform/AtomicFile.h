// A file written whole or not at all: the bytes go to a new file beside the target, reach the
// disk, and take the target's place in one rename, so that a process killed at any moment leaves
// the old file or the new one. Saves of documents and the recovery copies both write through it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

namespace mireka {

class AtomicFile {
public:
    struct Options {
        // A fixed name for the new file, beside the target. Its owner keeps other instances away
        // from it and removes what a killed run left there. Without one the new file stays
        // unnamed until the end where the system allows, else it gets a fresh name, and new
        // files of writes killed earlier are swept away.
        std::optional<std::string> temporary;
        // The permissions of a target that does not exist yet, before the user's mask. A
        // replaced target keeps its own.
        unsigned newMode = 0666;
    };

    // `target` is the file to replace; a caller that keeps links follows them first.
    AtomicFile(std::string target, Options options);
    ~AtomicFile(); // without Commit(), the new file goes and the target stays as it was
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // The first failure; writes after it do nothing.
    [[nodiscard]] std::error_code Error() const noexcept { return error_; }
    void Write(std::string_view bytes);
    // The new file on the disk, then in the target's place, and the name on the disk with its
    // folder. The first failure, or none.
    std::error_code Commit();

private:
    void Fail();
    void Close() noexcept;

    std::string target_;
    Options options_;
    std::string temp_; // the new file's name, once it has one
    std::optional<unsigned> replacedMode_;
    std::error_code error_;
    std::intptr_t handle_ = -1; // the system's handle of the new file
    bool unnamed_ = false;
    bool committed_ = false;
};

} // namespace mireka
