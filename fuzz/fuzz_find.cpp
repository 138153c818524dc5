// Searching agrees with a plain scan over character boundaries, in either encoding.
#include "core/base/Encoding.h"
#include "core/editor/FindReplace.h"
#include "core/editor/TextControl.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3) return 0;
    const std::size_t n = data[0] % 6 + 1;
    if (size < 2 + n) return 0;
    const std::string find(reinterpret_cast<const char*>(data + 2), n);
    const std::string text(reinterpret_cast<const char*>(data + 2 + n), size - 2 - n);
    const mireka::Encoding enc =
        (data[1] & 0x80) ? mireka::Encoding::Utf8 : mireka::Encoding::Cp932;
    mireka::TextControl ctl(data[1] % 9 + 2);
    ctl.SetEncoding(enc);
    ctl.SetText(text);
    ctl.SetSel(0, 0);
    const bool found = mireka::FindText(ctl, find, true, true);
    // The first occurrence that starts and ends on character boundaries.
    std::size_t expect = std::string::npos;
    for (std::size_t i = 0; i + find.size() <= text.size();
         i += mireka::chars::CharLength(enc, text, i)) {
        if (text.compare(i, find.size(), find) == 0 &&
            mireka::chars::IsCharBoundary(enc, text, i + find.size())) {
            expect = i;
            break;
        }
    }
    if (found != (expect != std::string::npos)) std::abort();
    if (found && ctl.SelStart() != static_cast<mireka::Offset>(expect)) std::abort();
    return 0;
}
