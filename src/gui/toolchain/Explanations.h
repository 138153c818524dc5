// The explanation table of the data file beside the program, shared by every compile, and the
// environment under which GCC writes the messages the table knows.
#pragma once

#include "core/toolchain/Explain.h"

#include <QProcessEnvironment>

#include <memory>
#include <string>
#include <string_view>

namespace mireka {

inline constexpr std::string_view kExplainFileName = "EXPLAIN.TXT";

struct LoadedExplanations {
    std::shared_ptr<const ExplainTable> table; // none when the file cannot be read
    // What the output window should say about the file (missing, lines skipped), once per
    // version of the file; empty otherwise. Lines ending in CR LF.
    std::string notice;
};

// Reads `path` (the data file when empty) the first time and again only when the file has
// changed; any thread.
[[nodiscard]] LoadedExplanations LoadExplanations(const std::string& path = {});

// GCC's messages in English (the form the table knows) without touching its character set:
// LC_MESSAGES=C, LANGUAGE gone, and an LC_ALL that would override them moved to LC_CTYPE.
void UseEnglishMessages(QProcessEnvironment& env);

} // namespace mireka
