// The proposed name of a first save.
#include "core/document/SaveName.h"

#include "core/base/Dbcs.h"

namespace mireka {

std::string ProposedSaveName(std::string_view title, std::string_view extension) {
    const std::size_t cut = dbcs::FindFirstOf(title, " #%;/\\");
    std::string name(title.substr(0, cut == std::string_view::npos ? title.size() : cut));
    name += extension;
    return name;
}

} // namespace mireka
