// The build and run commands of the editor view: compiles and commands through its build session,
// the program run in a terminal, the debugger, the toolchain and the environment report.
#include "core/base/Paths.h"
#include "core/toolchain/BuildMenus.h"
#include "core/toolchain/BuildText.h"
#include "core/toolchain/Clang.h"
#include "core/toolchain/CommandLine.h"
#include "core/toolchain/Environment.h"
#include "core/toolchain/Report.h"
#include "core/toolchain/RunFile.h"
#include "core/toolchain/Toolchain.h"
#include "gui/base/CommandIds.h"
#include "gui/base/CommandTable.h"
#include "gui/base/DialogRunner.h"
#include "gui/base/FrameServices.h"
#include "gui/base/Prompts.h"
#include "gui/base/WaitCursor.h"
#include "gui/document/MyDoc.h"
#include "gui/document/MyView.h"
#include "gui/document/OutputBar.h"
#include "gui/toolchain/ArgumentsDlg.h"
#include "gui/toolchain/BuildSession.h"
#include "gui/toolchain/CompilerSettingsDlg.h"
#include "gui/toolchain/ReportDlg.h"
#include "platform/DriverProbe.h"
#include "platform/FileSystem.h"
#include "platform/InFile.h"
#include "platform/Launcher.h"
#include "platform/ProgramEnvironment.h"
#include "platform/ReportFacts.h"
#include "platform/SafeFile.h"

#include <QEvent>
#include <QFile>
#include <QMetaObject>

namespace mireka {

namespace {

QString Text(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

QString NativePath(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

void Tell(QWidget* owner, std::string_view text, QMessageBox::Icon icon) {
    Prompts::Current().Message(owner, Text(text), icon);
}

void Apply(CmdUI& ui, const CommandUi& c, bool withCheck = false) {
    ui.enabled = c.enabled;
    ui.text = Text(c.text);
    if (withCheck) ui.checked = c.checked;
}

// Runs a function once, when the watched widget is first shown.
class FirstShowFilter final : public QObject {
public:
    FirstShowFilter(QObject* parent, std::function<void()> onShow)
        : QObject(parent), onShow_(std::move(onShow)) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && onShow_) {
            const auto onShow = std::move(onShow_);
            onShow_ = nullptr;
            watched->removeEventFilter(this);
            onShow();
        }
        return false;
    }

private:
    std::function<void()> onShow_;
};

} // namespace

void CMyView::SetUpBuild() {
    build_ = std::make_unique<BuildSession>(*this, &OutputDisplayBytes);
    const BuildSettings& settings = build_->Settings();
    SetTabWidth(settings.m_nTabWidth);
    SetHighlight(settings.m_bStress);
    SetShowFullWidthSpace(settings.m_bFullWidthSpace);
    SetAutoIndent(settings.m_bAutoIndent);
    // The selection and its status pane belong to the frame, which is complete only once the
    // window is shown.
    installEventFilter(new FirstShowFilter(this, [this] { OnFirstShowBuild(); }));
}

void CMyView::OnFirstShowBuild() {
    FrameServices* frame = FrameOf(this);
    if (!frame) return; // a view on its own has no build commands
    int kind = frame->Toolchain();
    if (!IsToolchainSelectionStored()) kind = InitialToolchain(kind, false, build_->Settings());
    SetSelectedToolchain(kind);
    if (build_->Settings().NeedsFirstUseMessage()) {
        // After the window has appeared, from the event loop.
        QMetaObject::invokeMethod(
            this, [this] { Tell(this, kFirstUseMessage, QMessageBox::NoIcon); },
            Qt::QueuedConnection);
    }
}

void CMyView::EndBuild() {
    BuildSettings& settings = build_->Settings();
    settings.m_nTabWidth = TabWidth();
    settings.m_bStress = Highlight();
    settings.m_bFullWidthSpace = ShowsFullWidthSpace();
    settings.m_bAutoIndent = AutoIndent();
    build_.reset();
    if (!GetModuleDir().empty()) {
        for (const std::string_view name : RunFileNames())
            QFile::remove(NativePath(MakeModulePath(name)));
    }
}

BuildSettings& CMyView::GetBuildSettings() noexcept {
    return build_->Settings();
}

const BuildSettings& CMyView::GetBuildSettings() const noexcept {
    return build_->Settings();
}

bool CMyView::IsBuildReady() const noexcept {
    return build_->IsReady();
}

bool CMyView::IsBuildRunning() const noexcept {
    return build_->IsRunning();
}

void CMyView::SetBuildOutputObserver(BuildOutputObserver observer) {
    build_->SetOutputObserver(std::move(observer));
}

int CMyView::SelectedToolchain() const {
    const FrameServices* frame = FrameOf(this);
    return frame ? frame->Toolchain() : kDefaultToolchain;
}

void CMyView::SetSelectedToolchain(int kind) {
    // The frame shows the selection's indicator in its status pane.
    if (FrameServices* frame = FrameOf(this)) frame->SetToolchain(kind);
}

std::string CMyView::DocumentPath() const {
    return doc_ ? doc_->GetPathName() : std::string();
}

BuildCommandState CMyView::CommandState() const {
    BuildCommandState st;
    st.toolchain = SelectedToolchain();
    st.ready = build_->IsReady();
    st.documentPath = DocumentPath();
    return st;
}

void CMyView::RegisterBuildCommands(CommandTable& table) {
    // The session, and so its settings, lives as long as the view.
    BuildSettings& settings = build_->Settings();
    table.Register(
        cmd::BuildCompile, [this] { OnBuildCompile(false); },
        [this, &settings](CmdUI& ui) { Apply(ui, CompileUi(settings, CommandState())); });
    table.Register(
        cmd::BuildDebugCompile, [this] { OnBuildCompile(true); },
        [this, &settings](CmdUI& ui) { Apply(ui, DebugCompileUi(settings, CommandState())); });
    table.Register(
        cmd::RspCompile, [this] { OnBuildCompileResponse(); },
        [this, &settings](CmdUI& ui) { Apply(ui, ResponseCompileUi(settings, CommandState())); });
    table.Register(
        cmd::RspSpecify, [this] { OnChooseResponseFile(); },
        [](CmdUI& ui) { Apply(ui, ChooseResponseFileUi()); });
    table.Register(
        cmd::BuildRun, [this] { RunProgram(DocumentPath(), std::nullopt); },
        [this, &settings](CmdUI& ui) { Apply(ui, RunUi(settings, CommandState())); });
    table.Register(
        cmd::BuildRunWithArgs, [this] { RunWithArguments(DocumentPath(), m_strLastArguments); },
        [this](CmdUI& ui) { Apply(ui, RunWithArgumentsUi(CommandState())); });
    table.Register(
        cmd::RspRun, [this, &settings] { RunProgram(settings.m_strResponseFile, std::nullopt); },
        [this, &settings](CmdUI& ui) { Apply(ui, ResponseRunUi(settings, CommandState())); });
    table.Register(
        cmd::RspRunWithArgs,
        [this, &settings] {
            RunWithArguments(settings.m_strResponseFile, m_strLastResponseArguments);
        },
        [&settings](CmdUI& ui) { Apply(ui, ResponseRunWithArgumentsUi(settings)); });
    table.Register(
        cmd::BuildDebugger, [this] { OnDebugger(); },
        [this, &settings](CmdUI& ui) {
            BuildCommandState st = CommandState();
            // Only a debugger beside the driver is looked for here; gdb is looked up when used.
            if (ToolchainOf(st.toolchain).debuggerPlace == DebuggerPlace::BesideDriver)
                st.debuggerFound =
                    !FindDebugger(st.toolchain, settings, {}, RealFileProbe()).empty();
            Apply(ui, DebuggerUi(settings, st));
        });
    table.Register(
        cmd::BuildCommand, [this] { OnBuildCommand(); },
        [this, &settings](CmdUI& ui) { Apply(ui, RunCommandUi(settings, CommandState())); });
    table.Register(
        cmd::ViewExplain, [&settings] { settings.m_bExplain = !settings.m_bExplain; },
        [&settings](CmdUI& ui) {
            ui.enabled = true;
            ui.checked = settings.m_bExplain;
        });
    table.Register(
        cmd::BuildStop, [this] { build_->Stop(); },
        [this](CmdUI& ui) { ui.enabled = build_->IsRunning(); });
    table.Register(
        cmd::BuildDosWindow, [this] { OnDosWindow(); },
        [](CmdUI& ui) { Apply(ui, ShellWindowUi()); });
    table.Register(
        cmd::BuildPause, [&settings] { settings.m_bPause = !settings.m_bPause; },
        [&settings](CmdUI& ui) { Apply(ui, PauseUi(settings), true); });
    table.Register(
        cmd::BuildPif, [&settings] { settings.m_bPif = !settings.m_bPif; },
        [this, &settings](CmdUI& ui) { Apply(ui, PifUi(settings, CommandState()), true); });
    table.Register(
        cmd::BuildSwitchCompiler, [this] { OnSwitchToolchain(); },
        [](CmdUI& ui) { Apply(ui, SwitchToolchainUi()); });
    const auto settingsCommand = [this, &table](int id, ToolchainKind kind) {
        table.Register(
            id, [this, kind] { OnToolchainSettings(kind); }, [](CmdUI& ui) { ui.enabled = true; });
    };
    settingsCommand(cmd::BuildLsicSettings, ToolchainKind::LsiC86);
    settingsCommand(cmd::BuildBccSettings, ToolchainKind::Borland);
    settingsCommand(cmd::BuildGccSettings, ToolchainKind::Gcc);
    table.Register(
        cmd::BuildVctkSettings, [this] { OnToolchainSettings(ToolchainKind::VcToolkit); },
        [&settings](CmdUI& ui) { Apply(ui, VctkSettingsUi(settings)); });
    table.Register(
        cmd::HelpBccHelp, [this] { OnBorlandHelp(); },
        [&settings](CmdUI& ui) { Apply(ui, BorlandHelpUi(settings)); });
    table.Register(
        cmd::HelpReport, [this] { OnReport(); }, [](CmdUI& ui) { ui.enabled = true; });
}

bool CMyView::SaveBeforeBuild() {
    const std::string path = DocumentPath();
    if (path.empty()) {
        Tell(this, kSaveFirstMessage, QMessageBox::Warning);
        return false;
    }
    // A failed save has told the user why; compiling the old file would mislead.
    return !doc_->IsModified() || doc_->DoSave(path, false);
}

void CMyView::OnBuildCompile(bool debug) {
    if (!SaveBeforeBuild()) return;
    const BuildSettings settings =
        ForSourceEncoding(build_->Settings(), doc_ ? doc_->GetFormat().encoding : Encoding::Cp932);
    const int kind = SelectedToolchain();
    const std::string path = DocumentPath();
    const CommandInterpreter shell = GetCommandInterpreter(ProgramEnvironment::Instance());
    const std::optional<BuildCommand> command =
        MakeCompileCommand(kind, settings, path, debug, shell);
    if (!command) {
        Tell(this, FormatCannotRun(GetFileNameExt(path)), QMessageBox::Warning);
        return;
    }
    std::optional<BuildCommand> forClang;
    if (KindOf(kind) == ToolchainKind::Gcc)
        forClang = MakeCompileCommand(kind, ForClangDriver(settings), path, debug, shell);
    build_->Start(kind, RunKind::Compile, *command, forClang);
}

void CMyView::OnBuildCompileResponse() {
    BuildSettings& settings = build_->Settings();
    const std::string& response = settings.m_strResponseFile;
    if (response.empty()) {
        Tell(this, kNoResponseFileMessage, QMessageBox::Warning);
        return;
    }
    const std::string path = DocumentPath();
    if (!path.empty() && doc_->IsModified() && !doc_->DoSave(path, false)) return;
    const int kind = SelectedToolchain();
    const CommandInterpreter shell = GetCommandInterpreter(ProgramEnvironment::Instance());
    const std::optional<BuildCommand> command =
        MakeResponseCompileCommand(kind, settings, response, shell);
    if (!command) {
        Tell(this, FormatCannotRun(GetFileNameExt(response)), QMessageBox::Warning);
        return;
    }
    std::optional<BuildCommand> forClang;
    if (KindOf(kind) == ToolchainKind::Gcc)
        forClang = MakeResponseCompileCommand(kind, ForClangDriver(settings), response, shell);
    build_->Start(kind, RunKind::Compile, *command, forClang);
}

void CMyView::OnBuildCommand() {
    BuildSettings& settings = build_->Settings();
    const int kind = SelectedToolchain();
    // The build commands stay disabled while the command line is asked for.
    build_->Hold();
    CArgumentsDlg dlg(ArgumentsMode::Command, this);
    dlg.SetText(settings.m_strCommandLine);
    if (dlg.DoModal() != QDialog::Accepted) {
        build_->Release();
        return;
    }
    settings.m_strCommandLine = dlg.Text();
    if (settings.m_strCommandLine.empty()) {
        build_->Release();
        return;
    }
    const CommandInterpreter shell = GetCommandInterpreter(ProgramEnvironment::Instance());
    build_->Start(kind, RunKind::Command,
                  MakeUserCommand(shell, settings.m_strCommandLine, DocumentPath()), std::nullopt);
}

void CMyView::RunProgram(const std::string& path, const std::optional<std::string>& arguments) {
    if (path.empty()) return;
    const int kind = SelectedToolchain();
    const RunTarget target = MakeRunTarget(kind, path);
    // Run without it, the console would only say, in the shell's words, that it is not found.
    if (!QueryFile(target.programPath).isRegular) {
        Tell(this, FormatMissingProgram(target.programName), QMessageBox::Warning);
        return;
    }
    if (IsWindowsGuiExecutableFile(target.programPath, PlatformFileReader())) {
        if (!ShellOpen(target.programPath)) Tell(this, kCannotRunMessage, QMessageBox::Warning);
        return;
    }
    if (GetModuleDir().empty()) {
        Tell(this, FormatCannotRun(RunFileName()), QMessageBox::Warning);
        return;
    }
    const std::string runFile = MakeModulePath(RunFileName());
    // Removed first, so that whatever stood there (a link) is never written through.
    QFile::remove(NativePath(runFile));
    const std::optional<std::string> content =
        RunFileContent(kind, target, arguments, build_->Settings().m_bPause);
    std::string error;
    if (!content || !WriteFileSafely(runFile, *content, &error)) {
        Tell(this, FormatCannotRun(runFile), QMessageBox::Warning);
        return;
    }
    ProgramEnvironment& env = ProgramEnvironment::Instance();
    if (!StartDetached(MakeRunFileLaunch(runFile, target), env, env.Snapshot(), &error))
        Tell(this, FormatCannotRun(runFile), QMessageBox::Warning);
}

void CMyView::RunWithArguments(const std::string& path, std::string& lastArguments) {
    CArgumentsDlg dlg(ArgumentsMode::Arguments, this);
    dlg.SetText(lastArguments);
    if (dlg.DoModal() != QDialog::Accepted) return;
    lastArguments = dlg.Text();
    RunProgram(path, lastArguments);
}

void CMyView::OnDebugger() {
    const int kind = SelectedToolchain();
    ProgramEnvironment& env = ProgramEnvironment::Instance();
    const FileProbe probe = RealFileProbe();
    const std::string debugger =
        FindDebugger(kind, build_->Settings(), env.Get("PATH").value_or(std::string()), probe);
    const DebuggerPlan plan = PlanDebugger(kind, DocumentPath(), debugger, probe.exists);
    switch (plan.action) {
    case DebuggerPlan::Action::Nothing:
        return;
    case DebuggerPlan::Action::MissingProgram:
        Tell(this, plan.message, QMessageBox::Warning);
        return;
    case DebuggerPlan::Action::Launch: {
        std::string error;
        if (!StartDetached(plan.launch, env, env.Snapshot(), &error))
            Tell(this, kCannotRunMessage, QMessageBox::Warning);
        return;
    }
    }
}

void CMyView::OnDosWindow() {
    ProgramEnvironment& env = ProgramEnvironment::Instance();
    const LaunchCommand launch = MakeShellWindowCommand(GetCommandInterpreter(env), DocumentPath());
    std::string error;
    if (!StartDetached(launch, env, env.Snapshot(), &error))
        Tell(this, kCannotOpenShellMessage, QMessageBox::Critical);
}

void CMyView::OnChooseResponseFile() {
    BuildSettings& settings = build_->Settings();
    // The dialog starts where the current response file is.
    const std::string dir = GetFileDir(settings.m_strResponseFile);
    if (!dir.empty() && QueryFile(dir).isDir) ChangeDirectory(dir);
    const std::optional<FileChoice> choice =
        Prompts::Current().OpenFile(this, Text(kResponseFileFilter), 1, QStringLiteral("rsp"),
                                    NativePath(settings.m_strResponseFile));
    if (!choice) return;
    settings.m_strResponseFile = FullPath(choice->path);
}

void CMyView::OnSwitchToolchain() {
    const auto usable = [this](ToolchainKind kind) {
        const std::string& driver = build_->Settings().GetToolchainPath(static_cast<int>(kind));
        return IsToolchainUsable({!driver.empty(), !driver.empty() && IsDosOrWindowsImage(driver)});
    };
    if (const std::optional<int> next = NextToolchain(SelectedToolchain(), usable)) {
        SetSelectedToolchain(*next);
        return;
    }
    Prompts::Current().Beep();
    if (FrameServices* frame = FrameOf(this)) frame->ShowHint(Text(kNoOtherToolchainMessage));
}

void CMyView::OnToolchainSettings(ToolchainKind kind) {
    BuildSettings& settings = build_->Settings();
    std::unique_ptr<CCompilerSettingsDlg> dlg;
    switch (kind) {
    case ToolchainKind::LsiC86:
        dlg = std::make_unique<CLsiSettingsDlg>(this);
        break;
    case ToolchainKind::Borland:
        dlg = std::make_unique<CBccSettingsDlg>(this);
        break;
    case ToolchainKind::VcToolkit:
        dlg = std::make_unique<CVctkSettingsDlg>(this);
        break;
    case ToolchainKind::Gcc:
        dlg = std::make_unique<CGccSettingsDlg>(this);
        break;
    }
    // A running build took its own copy of what it needs; the dialog changes the session's.
    dlg->SetValues(settings);
    if (dlg->DoModal() == QDialog::Accepted) dlg->GetValues(settings);
}

void CMyView::OnReport() {
    ProgramEnvironment& env = ProgramEnvironment::Instance();
    ReportFacts facts;
    {
        // gcc is asked for its version, which may take a moment.
        WaitCursor wait;
        facts = GatherReportFacts(build_->Settings(), SelectedToolchain(), env, env.Snapshot());
    }
    CReportDlg dlg(this);
    dlg.SetReport(BuildReportText(facts));
    RunModal(dlg);
}

void CMyView::OnBorlandHelp() {
    if (!ShellOpen(BorlandHelpPath(build_->Settings().m_strBccPath)))
        Tell(this, kCannotRunMessage, QMessageBox::Warning);
}

} // namespace mireka
