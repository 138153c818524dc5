// Mireka: a small C development environment.
#include "core/app/StartSwitches.h"
#include "gui/app/MyApp.h"
#include "platform/ProgramDirs.h"
#include "platform/ReportFacts.h"

#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    // Answered before any window system is touched, so they work on a plain terminal too.
    const std::vector<std::string> words(argv + (argc > 0 ? 1 : 0), argv + argc);
    switch (mireka::ReadStartSwitches(words)) {
    case mireka::StartAction::Help:
        std::fputs(mireka::HelpText("mireka").c_str(), stdout);
        return 0;
    case mireka::StartAction::Version:
        std::fputs(mireka::VersionText(mireka::ProgramVersionText()).c_str(), stdout);
        return 0;
    case mireka::StartAction::Run:
        break;
    }
    mireka::FillInHome();
    mireka::CMyApp app(argc, argv);
    return app.Run();
}
