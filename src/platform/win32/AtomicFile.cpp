// The atomic writer on Windows: a fresh file beside the target, flushed, then moved over the
// target with write-through.
#include "platform/AtomicFile.h"

#include "core/base/Paths.h"

#include <QRandomGenerator>
#include <QString>

#include <algorithm>
#include <cstdio>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace mireka {

namespace {

std::wstring Wide(const std::string& path) {
    return QString::fromLocal8Bit(path.c_str()).toStdWString();
}

HANDLE Handle(std::intptr_t h) {
    return reinterpret_cast<HANDLE>(h);
}

} // namespace

AtomicFile::AtomicFile(std::string target, Options options)
    : target_(std::move(target)), options_(std::move(options)) {
    HANDLE h = INVALID_HANDLE_VALUE;
    if (options_.temporary) {
        temp_ = *options_.temporary;
        ::DeleteFileW(Wide(temp_).c_str()); // left by a run that was killed
        h = ::CreateFileW(Wide(temp_).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
    } else {
        for (int attempt = 0; attempt < 16 && h == INVALID_HANDLE_VALUE; ++attempt) {
            char suffix[16];
            std::snprintf(suffix, sizeof suffix, "%08x", QRandomGenerator::system()->generate());
            temp_ = GetFileDir(target_) + "." + GetFileNameExt(target_) + "." + suffix;
            h = ::CreateFileW(Wide(temp_).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
            if (h == INVALID_HANDLE_VALUE && ::GetLastError() != ERROR_FILE_EXISTS) break;
        }
    }
    if (h == INVALID_HANDLE_VALUE) {
        temp_.clear();
        Fail();
        return;
    }
    handle_ = reinterpret_cast<std::intptr_t>(h);
}

AtomicFile::~AtomicFile() {
    Close();
    if (!committed_ && !temp_.empty()) ::DeleteFileW(Wide(temp_).c_str());
}

void AtomicFile::Fail() {
    if (!error_) error_ = {static_cast<int>(::GetLastError()), std::system_category()};
}

void AtomicFile::Close() noexcept {
    if (handle_ != -1) ::CloseHandle(Handle(handle_));
    handle_ = -1;
}

void AtomicFile::Write(std::string_view bytes) {
    while (!error_ && !bytes.empty()) {
        DWORD n = 0;
        const auto want = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        if (!::WriteFile(Handle(handle_), bytes.data(), want, &n, nullptr)) return Fail();
        bytes.remove_prefix(n);
    }
}

std::error_code AtomicFile::Commit() {
    if (error_) return error_;
    if (!::FlushFileBuffers(Handle(handle_))) Fail();
    Close();
    if (!error_ && !::MoveFileExW(Wide(temp_).c_str(), Wide(target_).c_str(),
                                  MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        Fail();
    if (error_) return error_;
    committed_ = true;
    return {};
}

} // namespace mireka
