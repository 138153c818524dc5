// The argument and command history.
#include "core/app/ArgumentHistory.h"

#include "core/base/Profile.h"

namespace mireka {

std::string_view ArgumentsDialogTitle(ArgumentsMode mode) noexcept {
    return mode == ArgumentsMode::Command ? "コマンドラインを指定" : "引数を指定して実行";
}

std::string_view ArgumentsDialogPrompt(ArgumentsMode mode) noexcept {
    return mode == ArgumentsMode::Command ? "コマンドラインを指定して下さい。"
                                          : "引数を指定してください。";
}

std::string_view ArgumentHistory::Section() const noexcept {
    return mode_ == ArgumentsMode::Command ? "Command List" : "Parameter List";
}

std::string ArgumentHistory::EntryName(std::size_t index) const {
    return (mode_ == ArgumentsMode::Command ? "command" : "param") + std::to_string(index + 1);
}

void ArgumentHistory::Read() {
    for (std::size_t i = 0; i < kSize; ++i)
        entries_[i] = GetProfileString(Section(), EntryName(i));
}

void ArgumentHistory::Write() const {
    WriteProfileString(Section(), nullptr, nullptr);
    for (std::size_t i = 0; i < kSize; ++i)
        if (!entries_[i].empty()) WriteProfileString(Section(), EntryName(i), entries_[i]);
}

std::vector<std::string> ArgumentHistory::DropDownItems() const {
    std::vector<std::string> items;
    for (const std::string& e : entries_) {
        if (e.empty()) break;
        items.push_back(e);
    }
    return items;
}

void ArgumentHistory::Confirm(std::string_view text) {
    if (text.empty()) return;
    std::size_t found = kSize - 1;
    for (std::size_t i = 0; i + 1 < kSize; ++i) {
        if (entries_[i] == text) {
            found = i;
            break;
        }
    }
    for (std::size_t i = found; i > 0; --i)
        entries_[i] = std::move(entries_[i - 1]);
    entries_[0] = std::string(text);
}

} // namespace mireka
