// Loading the explanation table.
#include "gui/toolchain/Explanations.h"

#include "core/base/Paths.h"
#include "platform/FileSystem.h"
#include "platform/SafeFile.h"

#include <QString>

#include <mutex>

namespace mireka {

namespace {

// A data file this large is not ours.
constexpr std::uint64_t kMaxExplainFileBytes = 4u << 20;

std::string BadLinesNotice(const std::vector<int>& lines) {
    std::string list;
    for (std::size_t i = 0; i < lines.size() && i < 10; ++i) {
        if (i > 0) list += ", ";
        list += std::to_string(lines[i]);
    }
    if (lines.size() > 10) list += " ほか";
    return "*** 解説ファイル " + std::string(kExplainFileName) + " の " + list +
           " 行目は形式が正しくないため、使いませんでした ***\r\n";
}

} // namespace

LoadedExplanations LoadExplanations(const std::string& path) {
    static std::mutex mutex;
    static std::string loadedPath;
    static FileStatus loadedStatus;
    static std::shared_ptr<const ExplainTable> table;
    static bool loaded = false;

    const std::string file = path.empty() ? FindDataFile(kExplainFileName) : path;
    const FileStatus status = QueryFile(file);
    const std::lock_guard lock(mutex);
    if (loaded && file == loadedPath && status.Exists() == loadedStatus.Exists() &&
        status.size == loadedStatus.size && status.mtime == loadedStatus.mtime)
        return {table, {}};
    loaded = true;
    loadedPath = file;
    loadedStatus = status;
    table.reset();
    std::string bytes;
    if (!status.Exists() || !status.isRegular || status.size > kMaxExplainFileBytes ||
        !ReadWholeFile(file, &bytes, nullptr))
        return {nullptr, "*** 解説ファイル " + std::string(kExplainFileName) +
                             " が読めないため、メッセージの解説は表示されません ***\r\n"};
    auto parsed = std::make_shared<ExplainTable>(ParseExplainTable(bytes));
    // The file is UTF-8; the transcript is in the system's encoding.
    for (ExplainEntry& e : parsed->entries)
        e.text = QString::fromUtf8(e.text.data(), static_cast<qsizetype>(e.text.size()))
                     .toLocal8Bit()
                     .toStdString();
    table = parsed;
    return {table, parsed->badLines.empty() ? std::string() : BadLinesNotice(parsed->badLines)};
}

void UseEnglishMessages(QProcessEnvironment& env) {
    const QString all = QStringLiteral("LC_ALL");
    if (env.contains(all)) {
        const QString value = env.value(all);
        env.remove(all);
        if (!value.isEmpty() && !env.contains(QStringLiteral("LC_CTYPE")))
            env.insert(QStringLiteral("LC_CTYPE"), value);
    }
    env.remove(QStringLiteral("LANGUAGE"));
    env.insert(QStringLiteral("LC_MESSAGES"), QStringLiteral("C"));
}

} // namespace mireka
