// Recovery files from outside: parse without crashing; what parses encodes back to a file that
// parses the same, and the header alone is judged as the whole file is.
#include "core/document/Recovery.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view file(reinterpret_cast<const char*>(data), size);
    const mireka::RecoveryHeader whole = mireka::ParseRecovery(file);
    const mireka::RecoveryHeader head =
        mireka::ParseRecoveryHeader(file.substr(0, mireka::kMaxRecoveryHeader), size);
    if (head.error != whole.error && whole.error != mireka::RecoveryError::Corrupt) std::abort();
    if (whole.error != mireka::RecoveryError::None) return 0;
    if (head.info != whole.info || head.textOffset != whole.textOffset) std::abort();
    const std::string again = mireka::EncodeRecoveryHeader(whole.info) +
                              std::string(file.substr(static_cast<std::size_t>(whole.textOffset)));
    const mireka::RecoveryHeader reparsed = mireka::ParseRecovery(again);
    if (reparsed.error != mireka::RecoveryError::None || reparsed.info != whole.info) std::abort();
    return 0;
}
