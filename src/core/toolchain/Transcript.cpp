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

void Transcript::EndOpenLine() {
    if (text_.empty() || text_.back() == '\n') return;
    // A cut may fall between the CR and the LF of a line end.
    text_ += text_.back() == '\r' ? "\n" : "\r\n";
}

void Transcript::Stopped() {
    EndOpenLine();
    text_ += kStoppedLine;
}

void Transcript::CutOff() {
    EndOpenLine();
}

void Transcript::Ended(std::string_view errorText) {
    text_ += kind_ == RunKind::Compile ? kCompileEndMarker : kCommandEndMarker;
    text_ += errorText;
}

void Transcript::Failed(std::string_view errorText) {
    text_ += errorText;
}

std::size_t ShowableLength(std::string_view bytes) noexcept {
    std::size_t n = bytes.size();
    if (n > 0 && bytes[n - 1] == '\r') return n - 1;
    // A sequence's lead byte is at most three bytes back from the end.
    for (std::size_t back = 1; back <= 3 && back <= n; ++back) {
        const auto c = static_cast<unsigned char>(bytes[n - back]);
        if ((c & 0xC0) == 0x80) continue; // a continuation byte: look further back
        const std::size_t need = c >= 0xF0 && c <= 0xF4   ? 4
                                 : c >= 0xE0 && c <= 0xEF ? 3
                                 : c >= 0xC2 && c <= 0xDF ? 2
                                                          : 1;
        return need > back ? n - back : n;
    }
    return n;
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
