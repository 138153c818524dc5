// Safe whole-file writes on POSIX, on the name's bytes.
#include "platform/SafeFile.h"

#include "core/base/ErrorText.h"
#include "core/base/Paths.h"
#include "platform/AtomicFile.h"

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace mireka {

namespace {

bool Fail(std::string* error, std::string reason) {
    if (error) *error = std::move(reason);
    return false;
}

bool FailErrno(std::string* error) {
    return Fail(error, SystemErrorText(errno));
}

constexpr int kMaxLinkHops = 40;

// Follows a chain of links to the file that is really written, so the link itself stays a
// link. A link to a file that does not exist yet names where that file is created.
bool FinalTarget(std::string path, std::string* target, std::string* error) {
    for (int hops = 0; hops < kMaxLinkHops; ++hops) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0) {
            if (errno != ENOENT) return FailErrno(error);
            *target = path;
            return true;
        }
        if (!S_ISLNK(st.st_mode)) {
            *target = path;
            return true;
        }
        std::string link(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 4096) + 1, '\0');
        const ssize_t n = ::readlink(path.c_str(), link.data(), link.size());
        if (n < 0) return FailErrno(error);
        link.resize(static_cast<std::size_t>(n));
        path = !link.empty() && link.front() == '/' ? link : GetFileDir(path) + link;
    }
    return Fail(error,
                SystemErrorText(std::make_error_code(std::errc::too_many_symbolic_link_levels)));
}

} // namespace

bool WriteFileSafely(const std::string& path, std::string_view bytes, std::string* error) {
    if (path.empty()) return Fail(error, kNoFileNameText);
    std::string target;
    if (!FinalTarget(path, &target, error)) return false;
    struct stat st {};
    const bool exists = ::stat(target.c_str(), &st) == 0;
    if (exists && S_ISDIR(st.st_mode))
        return Fail(error, SystemErrorText(std::make_error_code(std::errc::is_a_directory)));
    if (exists && !S_ISREG(st.st_mode)) return Fail(error, kNotRegularFileText);
    if (exists && ::access(target.c_str(), W_OK) != 0) return FailErrno(error);
    AtomicFile file(target, {});
    file.Write(bytes);
    if (const std::error_code ec = file.Commit()) return Fail(error, SystemErrorText(ec));
    return true;
}

} // namespace mireka
