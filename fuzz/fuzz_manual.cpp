// The manual viewer's and the reference's readers on arbitrary bytes: pieces stay within their
// limit and cover the text, found entries exist, cleaned pages hold no control sequences and
// names are printable words.
#include "core/app/ManReference.h"
#include "core/app/Manual.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const std::size_t split = data[0] % size;
    const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::string_view typed = bytes.substr(0, std::min(split, bytes.size()));

    const mireka::ManualLines lines{std::string(bytes)};
    std::size_t covered = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines.Line(i).size() > mireka::kManualPieceBytes) std::abort();
        covered += lines.Line(i).size();
    }
    if (covered > bytes.size() || lines.WidestLine() > mireka::kManualPieceBytes) std::abort();

    const mireka::ManualIndex index = mireka::ParseManualIndex(std::string(bytes));
    const mireka::ManualIndexSearch search(index.entries);
    if (auto found = search.FindPrefix(typed); found && *found >= index.entries.size())
        std::abort();
    for (const auto& e : index.entries)
        if (e.text.empty() || e.text.find_first_of(" \t\n\r\v\f") != std::string::npos)
            std::abort();
    (void)mireka::IdentifierAt(bytes, split);

    const std::string page = mireka::CleanRenderedPage(bytes);
    if (page.find_first_of("\b\x1b\r") != std::string::npos) std::abort();
    if (!page.empty() && page.back() != '\n') std::abort();
    for (const std::string& name : mireka::ParseNameSection(page))
        for (const char c : name)
            if (c <= 0x20 || c >= 0x7F) std::abort();
    (void)mireka::IsCLibraryPage(page);
    return 0;
}
