// The shipped explanation table against the real gcc: every broken program of the corpus gets the
// explanation it states under the message it names, and clean programs get none.
#include "core/document/JumpLine.h"
#include "core/toolchain/Explain.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

namespace mireka {
namespace {

const char* const kTablePath = MIREKA_FIXTURES "/../../src/resources/data/EXPLAIN.TXT";

std::string ReadAll(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll().toStdString();
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t lf = text.find('\n', start);
        if (lf == std::string::npos) lf = text.size();
        std::string line = text.substr(start, lf - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
        start = lf + 1;
    }
    return lines;
}

// gcc quotes typographically only in a UTF-8 locale; the corpus is written either way.
std::string PlainQuotes(std::string s) {
    for (std::string_view q : {"\xE2\x80\x98", "\xE2\x80\x99"})
        for (std::size_t at = s.find(q); at != std::string::npos; at = s.find(q, at))
            s.replace(at, q.size(), "'");
    return s;
}

// The text between `head` and " */" on a comment line of the corpus program.
bool CommentValue(const std::string& line, std::string_view head, std::string& value) {
    if (!line.starts_with(head) || !line.ends_with(" */")) return false;
    value = line.substr(head.size(), line.size() - head.size() - 3);
    return true;
}

QString CompilerOutput(const QString& gcc, const QString& source, const QString& build,
                       const QString& dir) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("LC_ALL"));
    env.remove(QStringLiteral("LANGUAGE"));
    env.insert(QStringLiteral("LC_MESSAGES"), QStringLiteral("C"));
    QProcess process;
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(dir);
    process.setProcessChannelMode(QProcess::MergedChannels);
    QStringList args = build.split(u' ', Qt::SkipEmptyParts);
    args << source << QStringLiteral("-o") << dir + QStringLiteral("/out");
    process.start(gcc, args);
    process.waitForFinished(60000);
    return QString::fromUtf8(process.readAll());
}

TEST(ExplainCorpus, ShippedTableIsWellFormed) {
    const ExplainTable table = ParseExplainTable(ReadAll(QString::fromUtf8(kTablePath)));
    EXPECT_TRUE(table.badLines.empty()) << "first bad line " << table.badLines.front();
    EXPECT_GE(table.entries.size(), 80u);
    for (const ExplainEntry& e : table.entries) {
        // Neither the GCC rule nor the "t.c 7:" rule may take an explanation for a message. (The
        // Visual C++ rule takes any line with parentheses, gcc's own source lines included.)
        const std::string line = std::string(kExplainPrefix) + e.text;
        for (const int toolchain : {0, 1, 3})
            EXPECT_EQ(ParseJumpLine(line, toolchain), std::nullopt) << toolchain << ": " << e.text;
    }
}

TEST(ExplainCorpus, GccMessagesOfEveryProgramGetTheirExplanation) {
    const QString gcc = QStandardPaths::findExecutable(QStringLiteral("gcc"));
    if (gcc.isEmpty()) GTEST_SKIP() << "gcc is not installed";
    const ExplainTable table = ParseExplainTable(ReadAll(QString::fromUtf8(kTablePath)));
    const QDir corpus(QStringLiteral(MIREKA_FIXTURES "/explain"));
    const QStringList programs = corpus.entryList({QStringLiteral("*.c")}, QDir::Files);
    ASSERT_GE(programs.size(), 63);
    int clean = 0;
    for (const QString& name : programs) {
        SCOPED_TRACE(name.toStdString());
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        std::vector<std::pair<std::string, std::string>> expects;
        bool expectClean = false;
        QString build = QStringLiteral("-Wall -c");
        for (const std::string& line : SplitLines(ReadAll(corpus.filePath(name)))) {
            std::string value;
            if (CommentValue(line, "/* build: ", value)) build = QString::fromStdString(value);
            if (!CommentValue(line, "/* expect: ", value)) continue;
            const std::size_t arrow = value.find(" => ");
            if (value == "no explanation") {
                expectClean = true;
            } else {
                ASSERT_NE(arrow, std::string::npos) << line;
                expects.emplace_back(PlainQuotes(value.substr(0, arrow)), value.substr(arrow + 4));
            }
        }
        ASSERT_TRUE(expectClean != !expects.empty()) << "no expect line";
        const std::string output =
            CompilerOutput(gcc, corpus.filePath(name), build, dir.path()).toStdString();
        const std::vector<std::string> lines = SplitLines(ExplainText(table, output));
        SCOPED_TRACE(output);
        auto isExplanation = [](const std::string& l) { return l.starts_with(kExplainPrefix); };
        if (expectClean) {
            ++clean;
            EXPECT_TRUE(output.empty());
            EXPECT_EQ(std::count_if(lines.begin(), lines.end(), isExplanation), 0);
        }
        for (const auto& [message, explanation] : expects) {
            int found = 0;
            for (std::size_t i = 0; i < lines.size(); ++i) {
                if (isExplanation(lines[i]) ||
                    PlainQuotes(lines[i]).find(message) == std::string::npos)
                    continue;
                ++found;
                const bool explained = i + 1 < lines.size() && isExplanation(lines[i + 1]) &&
                                       lines[i + 1].find(explanation) != std::string::npos;
                EXPECT_TRUE(explained) << lines[i] << "\n  wants: " << explanation;
            }
            EXPECT_GT(found, 0) << "no message line with: " << message;
        }
    }
    EXPECT_GE(clean, 3);
}

} // namespace
} // namespace mireka
