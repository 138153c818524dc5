// The terminal switches: which word asks for what, and the texts.
#include "core/app/StartSwitches.h"

#include <gtest/gtest.h>

namespace mireka {
namespace {

TEST(StartSwitches, TheFirstOfHelpOrVersionDecidesAndFilesStartTheProgram) {
    const struct {
        std::vector<std::string> words;
        StartAction action;
    } cases[] = {
        {{}, StartAction::Run},
        {{"hello.c"}, StartAction::Run},
        {{"-x", "--helpful.c"}, StartAction::Run},
        {{"--help"}, StartAction::Help},
        {{"hello.c", "-h"}, StartAction::Help},
        {{"--version", "--help"}, StartAction::Version},
        {{"-v"}, StartAction::Version},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReadStartSwitches(c.words), c.action) << testing::PrintToString(c.words);
    EXPECT_EQ(VersionText("0.1.0"), "Mireka 0.1.0\n");
    const std::string help = HelpText("mireka");
    EXPECT_EQ(help.rfind("使い方: mireka [ファイル]\n", 0), 0u);
    EXPECT_NE(help.find("--version"), std::string::npos);
    EXPECT_EQ(help.back(), '\n');
}

} // namespace
} // namespace mireka
