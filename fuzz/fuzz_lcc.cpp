// `_LCC` from outside, rewritten for a driver location: tokens hold no blank, '#' or line end
// except a comment, which runs from its '#' to the line's end; the rewrite writes each token on
// a line of its own with the include, library and program folders set; read again, the file
// gives those tokens, so a second rewrite changes nothing.
#include "core/toolchain/CompilerSettings.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const auto style = data[0] & 1 ? mireka::PathStyle::Windows : mireka::PathStyle::Posix;
    const std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::string_view location = rest.substr(0, data[0] >> 2);
    const std::string_view content = rest.substr(location.size());

    const std::vector<std::string> tokens = mireka::TokenizeLcc(content);
    bool blankEdge = false; // a CR, VT or FF that ends up at a token's edge
    for (const std::string& t : tokens) {
        if (t.empty() || t.find('\n') != std::string::npos) std::abort();
        if (t[0] != '#' && t.find_first_of(" \t#") != std::string::npos) std::abort();
        blankEdge = blankEdge || std::string_view("\r\v\f").find(t.front()) != std::string::npos ||
                    std::string_view("\r\v\f").find(t.back()) != std::string::npos;
    }
    const std::string once = mireka::RewriteLcc(tokens, location, style);
    const mireka::Installation inst = mireka::InstallationOf(location, "LCC.EXE", style);
    std::string expect;
    for (const std::string& t : tokens) {
        const char kind = t.size() >= 2 && t[0] == '-' ? t[1] : '\0';
        expect += kind == 'I'   ? "-I" + inst.base + inst.include
                  : kind == 'L' ? "-L" + inst.base + inst.lib
                  : kind == 'X' ? "-X" + inst.base + inst.binDir
                                : t;
        expect += "\r\n";
    }
    if (once != expect) std::abort();
    // A folder with a blank, '#' or line end in it cannot be one token (the dialog refuses such
    // a location); a token that starts or ends with another blank loses it to the trimming of
    // its line when read again.
    if (blankEdge || !mireka::LccFoldersAreTokens(location, style)) return 0;
    if (mireka::RewriteLcc(mireka::TokenizeLcc(once), location, style) != once) std::abort();
    return 0;
}
