// Reading regular files on POSIX, on the name's bytes.
#include "platform/InFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace mireka {

namespace {

std::error_code LastError() {
    return {errno, std::generic_category()};
}

std::error_code NotRegular(const struct stat& st) {
    if (S_ISDIR(st.st_mode)) return std::make_error_code(std::errc::is_a_directory);
    if (!S_ISREG(st.st_mode)) return std::make_error_code(std::errc::invalid_argument);
    return {};
}

} // namespace

InFile::InFile(const std::string& path, bool followLinks) {
    struct stat st {};
    const int looked = followLinks ? ::stat(path.c_str(), &st) : ::lstat(path.c_str(), &st);
    if (looked != 0) {
        error_ = LastError();
        return;
    }
    if ((error_ = NotRegular(st))) return;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK |
                                            (followLinks ? 0 : O_NOFOLLOW));
    if (fd < 0) {
        error_ = LastError();
        return;
    }
    handle_ = fd;
    // The name may have been replaced by something else between the two looks.
    if (::fstat(fd, &st) != 0)
        error_ = LastError();
    else if (!(error_ = NotRegular(st)))
        size_ = static_cast<std::uint64_t>(st.st_size);
}

InFile::~InFile() {
    if (handle_ >= 0) ::close(static_cast<int>(handle_));
}

std::size_t InFile::Read(char* buffer, std::size_t size) {
    while (!error_) {
        const ssize_t n = ::read(static_cast<int>(handle_), buffer, size);
        if (n >= 0) return static_cast<std::size_t>(n);
        if (errno != EINTR) error_ = LastError();
    }
    return 0;
}

void InFile::ReadAt(std::uint64_t offset, std::string& out) {
    std::size_t done = 0;
    while (!error_ && done < out.size()) {
        const ssize_t n = ::pread(static_cast<int>(handle_), out.data() + done, out.size() - done,
                                  static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0)
            error_ = LastError();
        else if (n == 0)
            error_ = std::make_error_code(std::errc::io_error); // shrank while read
        else
            done += static_cast<std::size_t>(n);
    }
    out.resize(done);
}

} // namespace mireka
