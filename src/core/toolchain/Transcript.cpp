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

} // namespace mireka
