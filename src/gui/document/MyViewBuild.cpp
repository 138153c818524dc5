// The build and run commands of the editor view: compile on a worker thread with the transcript in
// the output window, run the program in a terminal, the debugger, commands, the toolchain and
// the environment report.
#include "core/base/Fnv.h"
#include "core/toolchain/BuildMenus.h"
#include "core/toolchain/BuildText.h"
#include "core/toolchain/Clang.h"
#include "core/toolchain/Report.h"
#include "core/toolchain/RunFile.h"
#include "core/toolchain/Toolchain.h"
#include "core/toolchain/Transcript.h"
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
#include "gui/toolchain/BuildLink.h"
#include "gui/toolchain/CompilerSettingsDlg.h"
#include "gui/toolchain/Explanations.h"
#include "gui/toolchain/ReportDlg.h"
#include "platform/DriverProbe.h"
#include "platform/FileSystem.h"
#include "platform/InFile.h"
#include "platform/Launcher.h"
#include "platform/ProcessRunner.h"
#include "platform/ProgramEnvironment.h"
#include "platform/ReportFacts.h"
#include "platform/SafeFile.h"

#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
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

CMyView::BuildLifetime::BuildLifetime(CMyView& v) : view(v) {
    view.LoadBuildSettingsOnCreate();
}

CMyView::BuildLifetime::~BuildLifetime() {
    view.SaveBuildSettingsOnDestroy();
}

void CMyView::LoadBuildSettingsOnCreate() {
    buildLink_ = std::make_shared<BuildLink>(
        this, [this](BuildLink::Display& display) { ShowBuildText(display); },
        [this](const std::string& displayBytes) { ShowLiveOutput(displayBytes); });
    LoadBuildSettings(m_settings, ProgramEnvironment::Instance(), RealFileProbe());
    SetTabWidth(m_settings.m_nTabWidth);
    SetHighlight(m_settings.m_bStress);
    SetShowFullWidthSpace(m_settings.m_bFullWidthSpace);
    SetAutoIndent(m_settings.m_bAutoIndent);
    // The selection and its status pane belong to the frame, which is complete only once the
    // window is shown.
    installEventFilter(new FirstShowFilter(this, [this] { OnFirstShowBuild(); }));
}

void CMyView::OnFirstShowBuild() {
    FrameServices* frame = FrameOf(this);
    if (!frame) return; // a view on its own has no build commands
    int kind = frame->Toolchain();
    if (!IsToolchainSelectionStored()) kind = InitialToolchain(kind, false, m_settings);
    SetSelectedToolchain(kind);
    if (m_settings.NeedsFirstUseMessage()) {
        // After the window has appeared, from the event loop.
        QMetaObject::invokeMethod(
            this, [this] { Tell(this, kFirstUseMessage, QMessageBox::NoIcon); },
            Qt::QueuedConnection);
    }
}

void CMyView::SaveBuildSettingsOnDestroy() {
    // A running command is ended: nothing may outlive the view that shows its output.
    if (buildLink_) buildLink_->Abandon();
    if (buildWorker_.joinable()) buildWorker_.join();
    m_settings.m_nTabWidth = TabWidth();
    m_settings.m_bStress = Highlight();
    m_settings.m_bFullWidthSpace = ShowsFullWidthSpace();
    m_settings.m_bAutoIndent = AutoIndent();
    WriteStoredBuildSettings(m_settings);
    if (!GetModuleDir().empty()) {
        for (const std::string_view name : RunFileNames())
            QFile::remove(NativePath(MakeModulePath(name)));
    }
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
    st.ready = m_bReady.load();
    st.documentPath = DocumentPath();
    return st;
}

void CMyView::RegisterBuildCommands(CommandTable& table) {
    table.Register(
        cmd::BuildCompile, [this] { OnBuildCompile(false); },
        [this](CmdUI& ui) { Apply(ui, CompileUi(m_settings, CommandState())); });
    table.Register(
        cmd::BuildDebugCompile, [this] { OnBuildCompile(true); },
        [this](CmdUI& ui) { Apply(ui, DebugCompileUi(m_settings, CommandState())); });
    table.Register(
        cmd::RspCompile, [this] { OnBuildCompileResponse(); },
        [this](CmdUI& ui) { Apply(ui, ResponseCompileUi(m_settings, CommandState())); });
    table.Register(
        cmd::RspSpecify, [this] { OnChooseResponseFile(); },
        [](CmdUI& ui) { Apply(ui, ChooseResponseFileUi()); });
    table.Register(
        cmd::BuildRun, [this] { RunProgram(DocumentPath(), std::nullopt); },
        [this](CmdUI& ui) { Apply(ui, RunUi(m_settings, CommandState())); });
    table.Register(
        cmd::BuildRunWithArgs, [this] { RunWithArguments(DocumentPath(), m_strLastArguments); },
        [this](CmdUI& ui) { Apply(ui, RunWithArgumentsUi(CommandState())); });
    table.Register(
        cmd::RspRun, [this] { RunProgram(m_settings.m_strResponseFile, std::nullopt); },
        [this](CmdUI& ui) { Apply(ui, ResponseRunUi(m_settings, CommandState())); });
    table.Register(
        cmd::RspRunWithArgs,
        [this] { RunWithArguments(m_settings.m_strResponseFile, m_strLastResponseArguments); },
        [this](CmdUI& ui) { Apply(ui, ResponseRunWithArgumentsUi(m_settings)); });
    table.Register(
        cmd::BuildDebugger, [this] { OnDebugger(); },
        [this](CmdUI& ui) {
            BuildCommandState st = CommandState();
            // Only a debugger beside the driver is looked for here; gdb is looked up when used.
            if (ToolchainOf(st.toolchain).debuggerPlace == DebuggerPlace::BesideDriver)
                st.debuggerFound =
                    !FindDebugger(st.toolchain, m_settings, {}, RealFileProbe()).empty();
            Apply(ui, DebuggerUi(m_settings, st));
        });
    table.Register(
        cmd::BuildCommand, [this] { OnBuildCommand(); },
        [this](CmdUI& ui) { Apply(ui, RunCommandUi(m_settings, CommandState())); });
    table.Register(
        cmd::ViewExplain, [this] { m_settings.m_bExplain = !m_settings.m_bExplain; },
        [this](CmdUI& ui) {
            ui.enabled = true;
            ui.checked = m_settings.m_bExplain;
        });
    table.Register(
        cmd::BuildStop, [this] { stopAsked_ = true; },
        [this](CmdUI& ui) { ui.enabled = buildRunning_.load(); });
    table.Register(
        cmd::BuildDosWindow, [this] { OnDosWindow(); },
        [](CmdUI& ui) { Apply(ui, ShellWindowUi()); });
    table.Register(
        cmd::BuildPause, [this] { m_settings.m_bPause = !m_settings.m_bPause; },
        [this](CmdUI& ui) { Apply(ui, PauseUi(m_settings), true); });
    table.Register(
        cmd::BuildPif, [this] { m_settings.m_bPif = !m_settings.m_bPif; },
        [this](CmdUI& ui) { Apply(ui, PifUi(m_settings, CommandState()), true); });
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
        [this](CmdUI& ui) { Apply(ui, VctkSettingsUi(m_settings)); });
    table.Register(
        cmd::HelpBccHelp, [this] { OnBorlandHelp(); },
        [this](CmdUI& ui) { Apply(ui, BorlandHelpUi(m_settings)); });
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
    const int kind = SelectedToolchain();
    const std::string path = DocumentPath();
    const CommandInterpreter shell = GetCommandInterpreter(ProgramEnvironment::Instance());
    const std::optional<BuildCommand> command =
        MakeCompileCommand(kind, m_settings, path, debug, shell);
    if (!command) {
        Tell(this, FormatCannotRun(GetFileNameExt(path)), QMessageBox::Warning);
        return;
    }
    std::optional<BuildCommand> forClang;
    if (KindOf(kind) == ToolchainKind::Gcc)
        forClang = MakeCompileCommand(kind, ForClangDriver(m_settings), path, debug, shell);
    StartBuildWorker(kind, RunKind::Compile, *command, forClang);
}

void CMyView::OnBuildCompileResponse() {
    const std::string& response = m_settings.m_strResponseFile;
    if (response.empty()) {
        Tell(this, kNoResponseFileMessage, QMessageBox::Warning);
        return;
    }
    const std::string path = DocumentPath();
    if (!path.empty() && doc_->IsModified() && !doc_->DoSave(path, false)) return;
    const int kind = SelectedToolchain();
    const CommandInterpreter shell = GetCommandInterpreter(ProgramEnvironment::Instance());
    const std::optional<BuildCommand> command =
        MakeResponseCompileCommand(kind, m_settings, response, shell);
    if (!command) {
        Tell(this, FormatCannotRun(GetFileNameExt(response)), QMessageBox::Warning);
        return;
    }
    std::optional<BuildCommand> forClang;
    if (KindOf(kind) == ToolchainKind::Gcc)
        forClang = MakeResponseCompileCommand(kind, ForClangDriver(m_settings), response, shell);
    StartBuildWorker(kind, RunKind::Compile, *command, forClang);
}

void CMyView::OnBuildCommand() {
    const int kind = SelectedToolchain();
    // The build commands stay disabled while the command line is asked for.
    m_bReady = false;
    CArgumentsDlg dlg(ArgumentsMode::Command, this);
    dlg.SetText(m_settings.m_strCommandLine);
    if (dlg.DoModal() != QDialog::Accepted) {
        m_bReady = true;
        return;
    }
    m_settings.m_strCommandLine = dlg.Text();
    if (m_settings.m_strCommandLine.empty()) {
        m_bReady = true;
        return;
    }
    const CommandInterpreter shell = GetCommandInterpreter(ProgramEnvironment::Instance());
    StartBuildWorker(kind, RunKind::Command,
                     MakeUserCommand(shell, m_settings.m_strCommandLine, DocumentPath()),
                     std::nullopt);
}

void CMyView::StartBuildWorker(int kind, RunKind runKind, const BuildCommand& command,
                               const std::optional<BuildCommand>& forClang) {
    // A previous worker has already marked the view ready, its very last step.
    if (buildWorker_.joinable()) buildWorker_.join();
    m_bReady = false;
    stopAsked_ = false;
    buildRunning_ = true;
    m_nBuildToolchain = kind;
    const std::string toolchainPath = m_settings.GetToolchainPath(m_nBuildToolchain);
    const CommandInterpreter shell = GetCommandInterpreter(ProgramEnvironment::Instance());
    const std::string captureDir = GetModuleDir();
    const bool explain =
        runKind == RunKind::Compile && KindOf(kind) == ToolchainKind::Gcc && m_settings.m_bExplain;
    buildWorker_ = std::thread([this, link = buildLink_, runKind, run = command, forClang, shell,
                                toolchainPath, captureDir, explain]() mutable {
        ProgramEnvironment& env = ProgramEnvironment::Instance();
        // Asked here, off the interface thread: the driver may take its time to answer.
        if (forClang && IsClangDriver(toolchainPath, env.Snapshot())) {
            run = *forClang;
            if (TakeClangNoticeTurn()) run.note = kClangNotice;
        }
        AddToolchainDirToPath(env, toolchainPath);
        QProcessEnvironment runEnv = env.Snapshot();
        LoadedExplanations explanations;
        std::optional<Explainer> explainer;
        if (explain) {
            explanations = LoadExplanations();
            run.note += explanations.notice;
            if (explanations.table) explainer.emplace(*explanations.table);
            UseEnglishMessages(runEnv);
        }
        // Every display is converted here, off the interface thread. What the window holds of
        // this run is tracked by length and hash, so that the end display adds only what is new
        // when the window already shows the rest.
        std::optional<std::size_t> shownLength;
        std::uint64_t shownHash = kFnvStart;
        CaptureCallbacks callbacks;
        callbacks.show = [&](const std::string& text, bool beep) {
            BuildLink::Display display{text, OutputDisplayBytes(text), std::nullopt, beep};
            const std::string_view bytes = display.bytes;
            // One pass: the hash of what the window may hold, continued over the rest.
            const std::size_t prefix =
                shownLength && *shownLength <= bytes.size() ? *shownLength : 0;
            const std::uint64_t prefixHash = Fnv1a64(bytes.substr(0, prefix));
            if (shownLength && prefix == *shownLength && prefixHash == shownHash)
                display.kept = shownLength;
            shownLength = bytes.size();
            shownHash = Fnv1a64(bytes.substr(prefix), prefixHash);
            link->Show(display);
        };
        callbacks.abandoned = [&link] { return link->Abandoned(); };
        callbacks.stop = [this] { return stopAsked_.load(); };
        // A piece that ends inside a character waits for the rest of it.
        std::string held;
        callbacks.live = [&](std::string_view captured) {
            held.append(captured);
            const std::size_t n = ShowableLength(held);
            if (n == 0) return;
            std::string display = OutputDisplayBytes(std::string_view(held).substr(0, n));
            held.erase(0, n);
            if (shownLength) {
                *shownLength += display.size();
                shownHash = Fnv1a64(display, shownHash);
            }
            link->Live(std::move(display));
        };
        if (explainer)
            callbacks.filter = [&explainer](std::string_view bytes) {
                return explainer->Feed(bytes);
            };
        RunCaptured(runKind, run, shell, runEnv, captureDir, callbacks);
        // The view waits for this thread before it goes, so it is still there.
        buildRunning_ = false;
        m_bReady = true;
    });
}

void CMyView::ShowBuildText(BuildLink::Display& display) {
    if (display.beep) Prompts::Current().Beep();
    if (FrameServices* frame = FrameOf(this))
        frame->ShowBuildDisplay(std::move(display.bytes), display.kept);
    if (buildObserver_) buildObserver_(display.text, m_bReady.load());
}

void CMyView::ShowLiveOutput(const std::string& displayBytes) {
    if (FrameServices* frame = FrameOf(this)) frame->AppendBuildOutput(displayBytes);
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
        RunFileContent(kind, target, arguments, m_settings.m_bPause);
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
        FindDebugger(kind, m_settings, env.Get("PATH").value_or(std::string()), probe);
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
    // The dialog starts where the current response file is.
    const std::string dir = GetFileDir(m_settings.m_strResponseFile);
    if (!dir.empty() && QueryFile(dir).isDir) ChangeDirectory(dir);
    const std::optional<FileChoice> choice =
        Prompts::Current().OpenFile(this, Text(kResponseFileFilter), 1, QStringLiteral("rsp"),
                                    NativePath(m_settings.m_strResponseFile));
    if (!choice) return;
    m_settings.m_strResponseFile = FullPath(choice->path);
}

void CMyView::OnSwitchToolchain() {
    const auto usable = [this](ToolchainKind kind) {
        const std::string& driver = m_settings.GetToolchainPath(static_cast<int>(kind));
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
    // A running build took its own copy of what it needs; the dialog changes the view's.
    dlg->SetValues(m_settings);
    if (dlg->DoModal() == QDialog::Accepted) dlg->GetValues(m_settings);
}

void CMyView::OnReport() {
    ProgramEnvironment& env = ProgramEnvironment::Instance();
    ReportFacts facts;
    {
        // gcc is asked for its version, which may take a moment.
        WaitCursor wait;
        facts = GatherReportFacts(m_settings, SelectedToolchain(), env, env.Snapshot());
    }
    CReportDlg dlg(this);
    dlg.SetReport(BuildReportText(facts));
    RunModal(dlg);
}

void CMyView::OnBorlandHelp() {
    if (!ShellOpen(BorlandHelpPath(m_settings.m_strBccPath)))
        Tell(this, kCannotRunMessage, QMessageBox::Warning);
}

} // namespace mireka
