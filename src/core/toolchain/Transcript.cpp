// Transcript assembly and capture-file names.
#include "core/toolchain/Transcript.h"

#include <cstdio>

namespace mireka {

std::string ErrorBlock(std::string_view systemMessage) {
    std::string text(kErrorBlockHeading);
    text += systemMessage;
    if (!systemMessage.empty() && systemMessage.back() != '\n') text += "\r\n";
    return text;
}

void Transcript::Begin(std::string_view commandLine) {
    text_.assign(commandLine);
    text_ += "\r\n";
}

void Transcript::Started() {
    text_ += kind_ == RunKind::Compile ? kCompileStartMarker : kCommandStartMarker;
}

void Transcript::AppendCaptured(std::string_view bytes) {
    for (std::size_t pos = 0; pos < bytes.size();) {
        const std::size_t nul = bytes.find('\0', pos);
        const std::size_t end = nul == std::string_view::npos ? bytes.size() : nul;
        text_.append(bytes.substr(pos, end - pos));
        pos = end + 1;
    }
}

void Transcript::Ended(std::string_view errorText) {
    text_ += kind_ == RunKind::Compile ? kCompileEndMarker : kCommandEndMarker;
    text_ += errorText;
}

void Transcript::Failed(std::string_view errorText) {
    text_ += errorText;
}

std::string CaptureFileName(std::uint64_t unique) {
    char digits[32];
    std::snprintf(digits, sizeof digits, "%04llX", static_cast<unsigned long long>(unique));
    std::string name(kCaptureFilePrefix);
    name += digits;
    name += '.';
    name += kCaptureFileExtension;
    return name;
}

bool IsCaptureFileName(std::string_view name) noexcept {
    const std::size_t head = kCaptureFilePrefix.size();
    const std::size_t tail = kCaptureFileExtension.size() + 1;
    if (name.size() < head + tail + 4 || name.size() > head + tail + 16) return false;
    if (name.substr(0, head) != kCaptureFilePrefix) return false;
    if (name[name.size() - tail] != '.' ||
        name.substr(name.size() - tail + 1) != kCaptureFileExtension)
        return false;
    for (const char c : name.substr(head, name.size() - head - tail))
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'))) return false;
    return true;
}

} // namespace mireka
