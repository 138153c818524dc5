// The steps of building the C library reference from the installed manual pages: which files
// are pages of sections 2 and 3, which of them go in, when the built reference is stale, how a
// rendered page is cleaned and named, and the reference text with its index.
#pragma once

#include "core/app/Manual.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mireka {

// Columns a page is rendered to.
inline constexpr int kReferencePageWidth = 76;

// "printf.3.gz" → stem "printf", section "3". Sections 2 and 3 and the C library's
// subsections of 3 (type, const, head); compressed or not. Other libraries' subsections
// (3pm, 3perl, 3x …) are not the C library.
struct ManPageName {
    std::string stem;
    std::string section;
};
[[nodiscard]] std::optional<ManPageName> ParseManPageFileName(std::string_view fileName);

struct ManPageFile {
    std::string path;
    std::string stem;
    std::string section;
    bool translated = false; // a Japanese page
    std::uint64_t size = 0;
    std::int64_t mtime = 0; // seconds
};

// The Japanese pages and, for a page that has no translation, the English one; in the order the
// reference lists them (by name without case, then section).
[[nodiscard]] std::vector<ManPageFile>
ChooseReferencePages(std::vector<ManPageFile> translated, const std::vector<ManPageFile>& english);

// Changes whenever a page is added, removed, replaced or touched, or the way the reference is
// made changes: the built reference is reused only while it is the same.
[[nodiscard]] std::string ReferenceFingerprint(const std::vector<ManPageFile>& pages);

// A renderer's UTF-8 output as plain text: overstrike and terminal escapes gone, the typographic
// characters a terminal font draws one column wide (dashes, quotes, table rules, no-break
// spaces) as their ASCII look-alikes so that the columns stay aligned, blanks at line ends and
// blank lines at either end dropped; LF line ends, the last line ended. Empty when nothing is
// left.
[[nodiscard]] std::string CleanRenderedPage(std::string_view utf8);

// A page of the Linux manual pages project, which documents the C library: its header or
// footer line names Linux (other libraries' pages name themselves there).
[[nodiscard]] bool IsCLibraryPage(std::string_view cleanedPage);

// The names of a cleaned page's NAME section, its first section: the comma-separated words
// before " - ", a word broken over two lines by hyphenation joined again. Words with blanks or
// other than printable ASCII are left out.
[[nodiscard]] std::vector<std::string> ParseNameSection(std::string_view cleanedPage);

// The reference text and its index, page by page. Each page's first line is where its names
// lead.
class ReferenceBuilder {
public:
    // `preface` (code page 932, LF line ends) comes first, padded with empty lines so that the
    // first page starts at the line the viewer opens at.
    explicit ReferenceBuilder(std::string_view preface);

    // A page's text (code page 932, LF line ends) and its names, each listed as
    // "name(section)"; a page without names is listed under `stem`. An empty line follows each
    // page.
    void AddPage(std::string_view text, const std::vector<std::string>& names,
                 std::string_view stem, std::string_view section);

    [[nodiscard]] std::size_t PageCount() const noexcept { return pages_; }
    [[nodiscard]] const std::string& Text() const noexcept { return text_; }
    [[nodiscard]] std::string TakeText() { return std::move(text_); }
    // The entries sorted by name without case, then section, then line.
    [[nodiscard]] std::vector<ManualIndexEntry> Entries() const;
    // The entries as the index file holds them: "%ld,%s" lines.
    [[nodiscard]] std::string IndexText() const;

private:
    struct Entry {
        std::string folded;
        std::string section;
        ManualIndexEntry entry;
    };
    std::string text_;
    std::size_t lines_ = 0;
    std::size_t pages_ = 0;
    std::vector<Entry> entries_;
};

} // namespace mireka
