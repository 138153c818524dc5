// The Help menu's documents and tools: the readme, the links page, the calculator and the
// shortcuts to the program.
#include "core/base/Paths.h"
#include "gui/app/HelpDlgs.h"
#include "gui/app/MainFrame.h"
#include "gui/base/DialogRunner.h"
#include "gui/base/Prompts.h"
#include "platform/FileSystem.h"
#include "platform/Launcher.h"
#include "platform/ProgramEnvironment.h"

#include <QDesktopServices>
#include <QFile>
#include <QUrl>

namespace mireka {

namespace {

constexpr std::string_view kReadmeName = "MIREKA.HTM";

QUrl ReadmeUrl(const std::string& path) {
    return QUrl::fromLocalFile(QFile::decodeName(QByteArray::fromStdString(path)));
}

} // namespace

void CMainFrame::OnHelpReadme() {
    const std::string path = FindDataFile(kReadmeName);
    if (!QueryFile(path).isRegular || !QDesktopServices::openUrl(ReadmeUrl(path))) {
        prompts_.Message(this,
                         QStringLiteral("'%1' を開くことができません。").arg(DisplayPath(path)),
                         QMessageBox::Warning);
    }
}

// There is no maker's site to go to: the guide's page of links works offline and leads on to
// the references online.
void CMainFrame::OnHomePage() {
    QUrl url = ReadmeUrl(FindDataFile(kReadmeName));
    url.setFragment(QStringLiteral("links"));
    (void)QDesktopServices::openUrl(url);
}

void CMainFrame::OnCalculator() {
    ProgramEnvironment& env = ProgramEnvironment::Instance();
    LaunchCommand c;
    c.program = FindCalculator(env, RealFileProbe().executable);
    std::string error;
    if (!c.program.empty()) (void)StartDetached(c, env, env.Snapshot(), &error);
}

void CMainFrame::OnShortcut() {
    CShortcutDlg dlg(this);
    RunModal(dlg);
}

} // namespace mireka
