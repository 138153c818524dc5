// The colour type every part shares, and the five editor colours with their first-start values.
#pragma once

#include <cstdint>

namespace mireka {

// A 24-bit colour laid out as 0x00BBGGRR.
using Colour = std::uint32_t;

// The five editor colours, with the first-start values.
struct EditorColours {
    Colour keyword = 0xFF0000;    // blue
    Colour comment = 0x0000C0;    // dark red
    Colour string = 0x808000;     // teal
    Colour text = 0x000000;       // black
    Colour background = 0xFFFFFF; // white

    friend bool operator==(const EditorColours&, const EditorColours&) = default;
};

} // namespace mireka
