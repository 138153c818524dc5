// The Windows GUI program test on arbitrary bytes: true exactly when the bytes hold the MS-DOS
// part with "MZ", the "PE\0\0" signature at the offset that part names, and the whole optional
// header after it with the GUI subsystem; the bytes are an exact-size buffer, so ASan sees any
// read past them.
#include "core/toolchain/RunFile.h"

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto copy = std::make_unique<unsigned char[]>(size);
    std::copy(data, data + size, copy.get());
    const bool gui = mireka::IsWindowsGuiExecutable(std::span(copy.get(), size));
    const auto le = [data](std::size_t at, int n) {
        std::uint64_t v = 0;
        for (int i = n - 1; i >= 0; --i)
            v = v << 8 | data[at + static_cast<std::size_t>(i)];
        return v;
    };
    // 128 bytes of MS-DOS part, then signature, file header and 224 bytes of optional header.
    bool expect = size >= 128 && data[0] == 'M' && data[1] == 'Z';
    const std::uint64_t pe = expect ? le(60, 4) : 0;
    expect = expect && pe + 4 + 20 + 224 <= size;
    expect = expect && le(pe, 4) == 0x00004550 && le(pe + 4 + 20 + 68, 2) == 2;
    if (gui != expect) std::abort();
    return 0;
}
