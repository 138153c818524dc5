// Listing and rendering the manual pages.
#include "platform/ManPages.h"

#include "platform/System.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include <mutex>

namespace mireka {

namespace {

constexpr int kPollMs = 100;

const char* const kSectionFolders[] = {"man2", "man3"};

std::string Bytes(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

void ListFolder(const QString& dir, bool translated, std::vector<ManPageFile>& out) {
    const QFileInfoList files =
        QDir(dir).entryInfoList(QDir::Files | QDir::NoSymLinks | QDir::Readable, QDir::Name);
    for (const QFileInfo& info : files) {
        const std::optional<ManPageName> name = ParseManPageFileName(Bytes(info.fileName()));
        if (!name) continue;
        ManPageFile page;
        page.path = Bytes(info.absoluteFilePath());
        page.stem = name->stem;
        page.section = name->section;
        page.translated = translated;
        page.size = static_cast<std::uint64_t>(info.size());
        page.mtime = info.lastModified().toSecsSinceEpoch();
        out.push_back(std::move(page));
    }
}

bool FolderHasPage(const QString& dir) {
    QDir folder(dir);
    const QStringList names = folder.entryList(QDir::Files | QDir::NoSymLinks);
    for (const QString& n : names)
        if (ParseManPageFileName(Bytes(n))) return true;
    return false;
}

} // namespace

QString ManPageRoot() {
    const QString override = qEnvironmentVariable("MIREKA_MAN_DIR");
    if (!override.isEmpty()) return override;
    return sys::SystemManualRoot();
}

ManPageListing ListManPages(const QString& root) {
    ManPageListing listing;
    if (root.isEmpty()) return listing;
    for (const char* section : kSectionFolders) {
        ListFolder(root + QStringLiteral("/ja/") + QLatin1String(section), true,
                   listing.translated);
        ListFolder(root + QLatin1Char('/') + QLatin1String(section), false, listing.english);
    }
    return listing;
}

bool TranslatedReferencePagesInstalled() {
    // The answer for the folders as they were at their last change.
    static std::mutex mutex;
    static QString lastRoot;
    static QDateTime lastTimes[2];
    static bool lastExists[2] = {false, false};
    static bool answer = false;
    static bool known = false;

    const QString root = ManPageRoot();
    if (root.isEmpty()) return false;
    QDateTime times[2];
    bool exists[2];
    for (int i = 0; i < 2; ++i) {
        const QFileInfo info(root + QStringLiteral("/ja/") + QLatin1String(kSectionFolders[i]));
        exists[i] = info.isDir();
        times[i] = exists[i] ? info.lastModified() : QDateTime();
    }
    const std::lock_guard lock(mutex);
    if (known && root == lastRoot && exists[0] == lastExists[0] && exists[1] == lastExists[1] &&
        times[0] == lastTimes[0] && times[1] == lastTimes[1])
        return answer;
    answer = false;
    for (int i = 0; i < 2 && !answer; ++i)
        if (exists[i])
            answer =
                FolderHasPage(root + QStringLiteral("/ja/") + QLatin1String(kSectionFolders[i]));
    lastRoot = root;
    for (int i = 0; i < 2; ++i) {
        lastTimes[i] = times[i];
        lastExists[i] = exists[i];
    }
    known = true;
    return answer;
}

QString ManRenderer::Name() const {
    switch (kind) {
    case Kind::Mandoc:
        return QStringLiteral("mandoc");
    case Kind::Man:
        return QStringLiteral("man");
    case Kind::None:
        break;
    }
    return {};
}

ManRenderer FindManRenderer() {
    ManRenderer r;
    if (QString p = QStandardPaths::findExecutable(QStringLiteral("mandoc")); !p.isEmpty()) {
        r.kind = ManRenderer::Kind::Mandoc;
        r.program = p;
    } else if (p = QStandardPaths::findExecutable(QStringLiteral("man")); !p.isEmpty()) {
        r.kind = ManRenderer::Kind::Man;
        r.program = p;
    }
    return r;
}

std::optional<std::string> RenderManPage(const ManRenderer& renderer, const std::string& path,
                                         const std::function<bool()>& cancelled, int timeoutMs) {
    if (renderer.kind == ManRenderer::Kind::None) return std::nullopt;
    const QString file = QFile::decodeName(QByteArray::fromStdString(path));
    const QString width = QString::number(kReferencePageWidth);
    QStringList args;
    if (renderer.kind == ManRenderer::Kind::Mandoc)
        args << QStringLiteral("-Tutf8") << QStringLiteral("-Owidth=") + width << file;
    else
        args << QStringLiteral("--nh") << QStringLiteral("--nj") << QStringLiteral("-E")
             << QStringLiteral("UTF-8") << QStringLiteral("-l") << file;

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    env.insert(QStringLiteral("MANWIDTH"), width);
    env.insert(QStringLiteral("MANPAGER"), QStringLiteral("cat"));
    env.insert(QStringLiteral("PAGER"), QStringLiteral("cat"));
    env.insert(QStringLiteral("GROFF_NO_SGR"), QStringLiteral("1"));
    env.remove(QStringLiteral("MAN_KEEP_FORMATTING"));

    QProcess process;
    process.setProcessEnvironment(env);
    // ".so" requests name a page relative to the folder above the section's.
    process.setWorkingDirectory(QFileInfo(QFileInfo(file).absolutePath()).absolutePath());
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(renderer.program, args);
    if (!process.waitForStarted()) return std::nullopt;
    int waited = 0;
    while (!process.waitForFinished(kPollMs)) {
        waited += kPollMs;
        if (process.state() == QProcess::NotRunning) break;
        if ((cancelled && cancelled()) || waited >= timeoutMs) {
            process.kill();
            process.waitForFinished(-1);
            return std::nullopt;
        }
    }
    if (process.exitStatus() != QProcess::NormalExit) return std::nullopt;
    const QByteArray out = process.readAllStandardOutput();
    if (out.isEmpty()) return std::nullopt;
    return std::string(out.constData(), static_cast<std::size_t>(out.size()));
}

QString ProgramCacheDir() {
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    return base.isEmpty() ? QString() : base + QStringLiteral("/UMO Software/Mireka");
}

} // namespace mireka
