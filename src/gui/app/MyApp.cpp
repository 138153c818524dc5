// The application object.
#include "gui/app/MyApp.h"

#include "core/app/Templates.h"
#include "core/base/Paths.h"
#include "core/base/Profile.h"
#include "gui/app/HelpDlgs.h"
#include "gui/app/MainFrame.h"
#include "gui/base/CommandIds.h"
#include "gui/base/DialogRunner.h"
#include "gui/base/NativePath.h"
#include "gui/base/PngIcon.h"
#include "gui/base/Prompts.h"
#include "gui/document/DocumentRecovery.h"
#include "gui/document/MyView.h"
#include "platform/FileSystem.h"
#include "platform/LargeTextMemory.h"
#include "platform/ProgramDirs.h"
#include "platform/QtSettingsStore.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QLibraryInfo>
#include <QThread>
#include <QTranslator>

namespace mireka {

namespace {

void LoadJapaneseTranslations(QApplication& app) {
    // The standard dialogs speak the same language as the rest of the program.
    auto* qt = new QTranslator(&app);
    if (qt->load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"),
                 QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(qt);
}

} // namespace

CMyApp::CMyApp(int& argc, char** argv) : qapp_(std::make_unique<QApplication>(argc, argv)) {
#ifdef _WIN32
    const QStringList words = QCoreApplication::arguments();
    for (qsizetype i = 1; i < words.size(); ++i)
        arguments_.push_back(ToNative(words[i]));
#else
    // Qt's own copy of the arguments has lost the bytes of a name that is not UTF-8. The
    // QApplication took out the switches it handles.
    for (int i = 1; i < argc; ++i)
        arguments_.emplace_back(argv[i]);
#endif
    UseHugePagesForLargeTexts();
    QApplication::setOrganizationName(QStringLiteral("UMO Software"));
    QApplication::setApplicationName(QStringLiteral("Mireka"));
    // The desktop entry's name lets Wayland and task bars match the window to its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("mireka"));
    // Every size is handed to the window system at start; desktops take larger ones from the
    // installed icon theme.
    QApplication::setWindowIcon(PngIcon(QStringLiteral(":/icons/mireka"), {16, 24, 32, 48, 64}));
    LoadJapaneseTranslations(*qapp_);
}

CMyApp::CMyApp() = default;

CMyApp::~CMyApp() {
    recovery_.reset();
    frame_.reset();
    doc_.reset();
    // A store that outlives this object (tests) no longer reports to it.
    if (reportingStore_ && GetProfileStore() == reportingStore_)
        reportingStore_->OnWriteRefused({});
    if (store_ && GetProfileStore() == store_.get()) SetProfileStore(nullptr);
}

int CMyApp::Run() {
    if (!InitInstance(arguments_)) return 1;
    const int rc = QApplication::exec();
    ExitInstance();
    return rc;
}

bool CMyApp::InitInstance(const std::vector<std::string>& arguments) {
    InitProgramDirectories();
    InstallStarterTemplates();
    // Tests install their own store first; the program uses the user's.
    if (!GetProfileStore()) {
        store_ = std::make_unique<QtSettingsStore>();
        SetProfileStore(store_.get());
    }
    auto* settings = dynamic_cast<QtSettingsStore*>(GetProfileStore());
    if (settings)
        settings->OnWriteRefused(
            [this, file = settings->FileName()] { SayCannotSaveSettings(file); });
    reportingStore_ = settings;
    recent_.ReadList();
    previewPages_ = GetProfileInt("Settings", "PreviewPages", 0);

    doc_ = std::make_unique<CMyDoc>(memory_, recent_, prompts_);
    frame_ = std::make_unique<CMainFrame>(*this);
    doc_->SetView(frame_->View());
    frame_->View()->SetDocument(doc_.get());
    QObject::connect(doc_.get(), &CMyDoc::TitleChanged, frame_.get(), &CMainFrame::UpdateTitle);
    RegisterCommands();
    recovery_ = std::make_unique<CDocumentRecovery>(*doc_, *frame_->View());

    // The first argument that is not a switch names the file to open.
    std::string file;
    for (const std::string& a : arguments) {
#ifdef _WIN32
        const bool isSwitch = !a.empty() && (a.front() == '-' || a.front() == '/');
#else
        const bool isSwitch = !a.empty() && a.front() == '-'; // "/" begins an absolute path here
#endif
        if (!a.empty() && !isSwitch) {
            file = a;
            break;
        }
    }
    if (file.empty()) {
        OnFileNew();
    } else {
        doc_->OnNewDocument();
        if (!OpenDocumentFile(file)) return false;
    }
    frame_->UpdateTitle();
    frame_->show();
    // Said once, now, rather than as settings are lost at exit.
    if (settings) settings->CheckWritable();
    if (recovery_->OfferLeftovers(frame_.get())) AfterDocumentChange();

    memory_.folder = GetProfileString("Settings", "Directory");
    memory_.filterIndex = GetProfileInt("Settings", "FilterIndex", 1);
    return true;
}

void CMyApp::SayCannotSaveSettings(const QString& file) {
    const QString text = QStringLiteral("設定を保存できません。\n%1\n\n"
                                        "フォルダーが書き込み禁止か、作成できません。変更した設定は"
                                        "、終了するまでの間だけ有効です。")
                             .arg(QDir::toNativeSeparators(file));
    const auto say = [this, text] { prompts_.Message(frame_.get(), text, QMessageBox::Warning); };
    // A write in the middle of a command does not open a dialog inside it.
    if (QThread::currentThread()->loopLevel() > 0)
        QMetaObject::invokeMethod(frame_.get(), say, Qt::QueuedConnection);
    else
        say();
}

void CMyApp::ExitInstance() {
    WriteProfileString("Settings", "Directory", memory_.folder);
    WriteProfileInt("Settings", "FilterIndex", memory_.filterIndex);
    recent_.WriteList();
    if (previewPages_ != 0) WriteProfileInt("Settings", "PreviewPages", previewPages_);
    if (auto* qs = dynamic_cast<QtSettingsStore*>(store_.get())) qs->Sync();
}

void CMyApp::RegisterCommands() {
    CommandTable& table = frame_->Commands();
    table.Register(cmd::FileNew, [this] { OnFileNew(); });
    table.Register(cmd::FileOpen, [this] { OnFileOpen(); });
    table.Register(cmd::FileSave, [this] { doc_->DoFileSave(); });
    table.Register(cmd::FileSaveAs, [this] { doc_->DoSave({}, true); });
    table.Register(cmd::AppExit, [this] { frame_->close(); });
    table.Register(cmd::AppAbout, [this] {
        CAboutDlg dlg(frame_.get());
        RunModal(dlg);
    });
    for (int i = 0; i < recent_.Size(); ++i)
        table.Register(
            cmd::FileMru1 + i, [this, i] { OnOpenRecentFile(i); },
            [this, i](CmdUI& ui) { ui.enabled = i < static_cast<int>(recent_.Items().size()); });
}

void CMyApp::AfterDocumentChange() {
    frame_->View()->OnInitialUpdate();
    frame_->UpdateTitle();
    frame_->RebuildRecentFileMenu();
}

void CMyApp::OnFileNew() {
    if (!doc_->SaveModified()) return;
    doc_->OnNewDocument();
    AfterDocumentChange();
}

bool CMyApp::OpenDocumentFile(std::string path) {
    if (!IsNetworkPath(path)) {
        std::string longPath;
        if (GetLongPath(path, &longPath)) path = longPath;
    }
    path = FullPath(path);
    // The document already shows this file: nothing to load.
    if (!doc_->GetPathName().empty() && doc_->GetPathName() == path) {
        frame_->activateWindow();
        return true;
    }
    lastOpenCancelled_ = false;
    if (!doc_->SaveModified()) {
        lastOpenCancelled_ = true;
        return false;
    }
    const bool wasModified = doc_->IsModified();
    bool contentsLost = false;
    if (!doc_->OnOpenDocument(path, &contentsLost)) {
        // A document emptied by a failed load, one whose changes the user gave up, or one that
        // met a file too large to open is replaced by a new one; an untouched one stays as it
        // was.
        if (contentsLost || doc_->IsModified()) {
            doc_->OnNewDocument();
            AfterDocumentChange();
        } else {
            doc_->SetModifiedFlag(wasModified);
        }
        return false;
    }
    doc_->SetPathName(path);
    AfterDocumentChange();
    return true;
}

void CMyApp::OnFileOpen() {
    if (!memory_.folder.empty()) ChangeDirectory(memory_.folder);
    const auto choice = prompts_.OpenFile(frame_.get(), CMyDoc::FileFilter(), memory_.filterIndex,
                                          QStringLiteral("c"));
    if (!choice) return;
    memory_.filterIndex = choice->filterIndex;
    if (OpenDocumentFile(choice->path)) memory_.folder = GetFileDir(FullPath(choice->path));
}

void CMyApp::OnOpenRecentFile(int index) {
    const auto& items = recent_.Items();
    if (index < 0 || index >= static_cast<int>(items.size())) return;
    const std::string path = items[static_cast<std::size_t>(index)];
    // A file that can no longer be opened leaves the list; a cancelled save prompt keeps it.
    if (!OpenDocumentFile(path) && !lastOpenCancelled_) {
        const auto& now = recent_.Items();
        for (std::size_t i = 0; i < now.size(); ++i)
            if (now[i] == path) recent_.Remove(i);
        frame_->RebuildRecentFileMenu();
    }
}

} // namespace mireka
