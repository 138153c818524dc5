// File-system queries on name bytes, through POSIX calls.
#include "platform/FileSystem.h"

#include "core/base/Paths.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QUrl>

#include <algorithm>
#include <memory>
#include <vector>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

namespace mireka {

namespace {

QString DecodeComponent(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError()) return text;
    QStringDecoder sjis("windows-31j");
    if (sjis.isValid()) {
        text = sjis.decode(bytes);
        if (!sjis.hasError()) return text;
    }
    return QString::fromUtf8(bytes); // replacement characters where nothing fits
}

std::error_code LastError() {
    return {errno, std::generic_category()};
}

// Same file: device and inode.
bool SameEntry(const std::string& a, const std::string& b) {
    struct stat sa {};
    struct stat sb {};
    return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

} // namespace

FileStatus QueryFile(const std::string& path) {
    FileStatus status;
    struct stat st {};
    if (path.empty()) {
        status.error = std::make_error_code(std::errc::no_such_file_or_directory);
    } else if (::stat(path.c_str(), &st) != 0) {
        status.error = LastError();
    } else {
        status.isDir = S_ISDIR(st.st_mode);
        status.isRegular = S_ISREG(st.st_mode);
        status.writable = ::access(path.c_str(), W_OK) == 0;
        status.size = static_cast<std::uint64_t>(st.st_size);
        status.mtime = static_cast<std::int64_t>(st.st_mtime);
    }
    return status;
}

std::string CurrentDirectory() {
    std::vector<char> buffer(PATH_MAX);
    while (!::getcwd(buffer.data(), buffer.size())) {
        if (errno != ERANGE) return {};
        buffer.resize(buffer.size() * 2);
    }
    return buffer.data();
}

bool ChangeDirectory(const std::string& path) {
    return !path.empty() && ::chdir(path.c_str()) == 0;
}

std::string FullPath(const std::string& path) {
    if (path.empty()) return path;
    std::string absolute = path;
    if (absolute.front() != '/') {
        const std::string cwd = CurrentDirectory();
        if (cwd.empty()) return CleanPath(path);
        absolute = cwd + "/" + path;
    }
    std::string clean = CleanPath(absolute);
    if (clean == absolute || absolute.find("..") == std::string::npos) return clean;
    struct stat st {};
    if (::stat(absolute.c_str(), &st) != 0 || SameEntry(absolute, clean)) return clean;
    // The written folder reaches the file through a link that ".." climbs back out of.
    const std::string folder = GetFileDir(absolute);
    std::unique_ptr<char, decltype(&std::free)> real(::realpath(folder.c_str(), nullptr),
                                                     &std::free);
    if (!real) return clean;
    return CleanPath(std::string(real.get()) + "/" + GetFileNameExt(absolute));
}

std::string PathFromUrl(const QUrl& url) {
    if (!url.isLocalFile()) return {};
    const QByteArray bytes =
        QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

std::string ExistingPathFromText(const QString& path) {
    const std::string bytes = QFile::encodeName(QDir::toNativeSeparators(path)).toStdString();
    if (QueryFile(bytes).Exists()) return bytes;
    // Qt lists no entry whose name is not valid UTF-8, so such a file can only be typed; look
    // for the entry that shows as the typed name.
    const std::string folder = GetFileDir(bytes);
    const QString wanted = QFileInfo(path).fileName();
    const auto close = [](DIR* d) { ::closedir(d); };
    std::unique_ptr<DIR, decltype(close)> dir(::opendir(folder.empty() ? "." : folder.c_str()),
                                              close);
    if (!dir || wanted.isEmpty()) return {};
    while (const dirent* entry = ::readdir(dir.get())) {
        const QByteArray name(entry->d_name);
        if (DecodeComponent(name) == wanted) return folder + entry->d_name;
    }
    return {};
}

std::string PathIgnoringCase(const std::string& path) {
    struct stat st;
    if (path.empty() || ::stat(path.c_str(), &st) == 0) return path;
    const auto lower = [](std::string_view s) {
        std::string out(s);
        for (char& c : out)
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
        return out;
    };
    std::string found = path.front() == '/' ? "/" : "";
    std::size_t start = path.front() == '/' ? 1 : 0;
    while (start <= path.size()) {
        std::size_t sep = path.find('/', start);
        if (sep == std::string::npos) sep = path.size();
        const std::string part = path.substr(start, sep - start);
        start = sep + 1;
        if (part.empty()) continue;
        std::string next = found + part;
        if (::lstat(next.c_str(), &st) != 0) {
            const auto close = [](DIR* d) { ::closedir(d); };
            std::unique_ptr<DIR, decltype(close)> dir(
                ::opendir(found.empty() ? "." : found.c_str()), close);
            if (!dir) return path;
            const std::string wanted = lower(part);
            bool matched = false;
            while (const dirent* entry = ::readdir(dir.get())) {
                if (lower(entry->d_name) == wanted) {
                    next = found + entry->d_name;
                    matched = true;
                    break;
                }
            }
            if (!matched) return path;
        }
        found = next;
        if (sep < path.size()) found += '/';
    }
    return found;
}

bool RenameFile(const std::string& from, const std::string& to, std::error_code* error) {
    if (::rename(from.c_str(), to.c_str()) == 0) return true;
    if (error) *error = LastError();
    return false;
}

bool RemoveFile(const std::string& path, std::error_code* error) {
    if (::unlink(path.c_str()) == 0) return true;
    if (error) *error = LastError();
    return false;
}

bool IsFileNotLink(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::vector<std::string> ListFolder(const std::string& folder) {
    std::vector<std::string> names;
    if (DIR* dir = ::opendir(folder.c_str())) {
        while (const dirent* entry = ::readdir(dir))
            names.emplace_back(entry->d_name);
        ::closedir(dir);
    }
    return names;
}

std::error_code MakePrivateFolder(const std::string& folder) {
    for (std::size_t sep = 1; sep <= folder.size(); ++sep) {
        sep = std::min(folder.find('/', sep), folder.size());
        const std::string upto = folder.substr(0, sep);
        if (::mkdir(upto.c_str(), 0700) != 0 && errno != EEXIST) return LastError();
    }
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0) return LastError();
    if (!S_ISDIR(st.st_mode)) return std::make_error_code(std::errc::not_a_directory);
    return {};
}

QString DisplayPath(const std::string& path) {
    QString shown;
    std::size_t start = 0;
    for (;;) {
        const std::size_t sep = path.find_first_of(PathSeparators(kNativePathStyle), start);
        const std::size_t end = sep == std::string::npos ? path.size() : sep;
        shown +=
            DecodeComponent(QByteArray(path.data() + start, static_cast<qsizetype>(end - start)));
        if (sep == std::string::npos) break;
        shown += QDir::separator();
        start = sep + 1;
    }
    return shown;
}

QString DisplayText(std::string_view bytes) {
    return DecodeComponent(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

} // namespace mireka
