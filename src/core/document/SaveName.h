// The file name proposed by the first save of a document.
#pragma once

#include <string>
#include <string_view>

namespace mireka {

// The title cut before the first space, "#", "%", ";", "/" or "\\" (searched character-wise),
// followed by `extension`: "untitled" gives "untitled.c", "a b.c" gives "a.c".
[[nodiscard]] std::string ProposedSaveName(std::string_view title,
                                           std::string_view extension = ".c");

} // namespace mireka
