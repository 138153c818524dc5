// A regular file opened for reading by its name's bytes: looked at before it is opened, so that
// a device or a pipe, which could block or have effects, is never opened.
#pragma once

#include "core/base/FileReader.h"

#include <cstdint>
#include <string>
#include <system_error>

namespace mireka {

class InFile {
public:
    // A name that is a link is followed, or, without `followLinks`, refused.
    explicit InFile(const std::string& path, bool followLinks = true);
    ~InFile();
    InFile(const InFile&) = delete;
    InFile& operator=(const InFile&) = delete;

    // The first failure: the system's reason, is_a_directory, or invalid_argument for anything
    // else that is not a regular file. Reads after it do nothing.
    [[nodiscard]] std::error_code Error() const noexcept { return error_; }
    [[nodiscard]] std::uint64_t Size() const noexcept { return size_; }

    // Up to `size` bytes from where the last read ended; 0 at the end or at a failure.
    std::size_t Read(char* buffer, std::size_t size);
    // `out.size()` bytes from `offset`; fewer only at a failure, a file shrunk meanwhile too.
    void ReadAt(std::uint64_t offset, std::string& out);

private:
    std::error_code error_;
    std::uint64_t size_ = 0;
    std::intptr_t handle_ = -1; // the system's handle of the open file
};

// Core's file reads, through InFile.
[[nodiscard]] ReadFilePart PlatformFileReader();

} // namespace mireka
