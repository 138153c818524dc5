// The five-line history of the argument and command dialog: its stored form, the drop-down
// list it offers and how a confirmed line moves to the front.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace mireka {

enum class ArgumentsMode {
    Arguments, // arguments for running the program: "Parameter List" / "param%d"
    Command,   // a command line to run: "Command List" / "command%d"
};

// The dialog's texts per mode; the caption and prompt of the argument mode are the dialog
// resource's own.
[[nodiscard]] std::string_view ArgumentsDialogTitle(ArgumentsMode mode) noexcept;
[[nodiscard]] std::string_view ArgumentsDialogPrompt(ArgumentsMode mode) noexcept;
// The edit field takes at most this many characters.
inline constexpr std::size_t kArgumentsMaxLength = 255;

class ArgumentHistory {
public:
    static constexpr std::size_t kSize = 5;
    using Entries = std::array<std::string, kSize>;

    explicit ArgumentHistory(ArgumentsMode mode) noexcept : mode_(mode) {}

    [[nodiscard]] ArgumentsMode Mode() const noexcept { return mode_; }
    [[nodiscard]] std::string_view Section() const noexcept;
    // The entry name of index i (0 = most recent): "param1" … or "command1" ….
    [[nodiscard]] std::string EntryName(std::size_t index) const;

    // Read when the dialog opens; a missing entry is empty, gaps stay where they are.
    void Read();
    // Written when the dialog closes, after OK or cancel: the section is deleted, then every
    // non-empty entry i is written under the number i + 1.
    void Write() const;

    // The drop-down list: nothing when entry 0 is empty, else the entries from 0 up to the
    // first empty one.
    [[nodiscard]] std::vector<std::string> DropDownItems() const;

    // OK with `text`: a non-empty text moves to the front. The first of entries 0 to 3 equal to
    // it byte for byte is taken out, else entry 4 drops off; the entries before move down. An
    // empty text changes nothing.
    void Confirm(std::string_view text);

    [[nodiscard]] const Entries& Items() const noexcept { return entries_; }
    void SetItems(Entries entries) { entries_ = std::move(entries); }

private:
    ArgumentsMode mode_;
    Entries entries_;
};

} // namespace mireka
