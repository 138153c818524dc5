// The installed manual pages of the C library and the programs that render them as text.
#pragma once

#include "core/app/ManReference.h"

#include <QString>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace mireka {

// Where the pages live: MIREKA_MAN_DIR when set (tests), else the system's folder. Japanese
// pages are in its "ja" folder, English ones directly in it.
[[nodiscard]] QString ManPageRoot();

struct ManPageListing {
    std::vector<ManPageFile> translated;
    std::vector<ManPageFile> english;
};
// The page files of sections 2 and 3 under `root`. Symbolic links are left out: they are other
// names of a page that is listed, and its NAME section names them.
[[nodiscard]] ManPageListing ListManPages(const QString& root);

// True when Japanese pages of sections 2 or 3 are under the root. Cheap enough for every idle
// update: the folders are listed again only when they changed.
[[nodiscard]] bool TranslatedReferencePagesInstalled();

struct ManRenderer {
    enum class Kind { None, Mandoc, Man };
    Kind kind = Kind::None;
    QString program;
    [[nodiscard]] QString Name() const;
};
// mandoc when it is on PATH (fast), else man.
[[nodiscard]] ManRenderer FindManRenderer();

// A page rendered as UTF-8 text, `kReferencePageWidth` columns wide, no pager. Nothing when the
// renderer could not be started, crashed, printed nothing, took longer than `timeoutMs` or
// `cancelled` said so while it ran (it is then ended). May run on any thread.
[[nodiscard]] std::optional<std::string> RenderManPage(const ManRenderer& renderer,
                                                       const std::string& path,
                                                       const std::function<bool()>& cancelled,
                                                       int timeoutMs);

// The per-user cache folder of the program (not created).
[[nodiscard]] QString ProgramCacheDir();

} // namespace mireka
