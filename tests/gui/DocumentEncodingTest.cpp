// A document's encoding through the real commands: files open and save byte for byte in their
// own encoding and line ends, 表示 → 文字コード converts, the status pane names the format.
#include "core/base/Profile.h"
#include "core/document/FileFormat.h"
#include "gui/app/MainFrame.h"
#include "gui/app/MyApp.h"
#include "gui/base/CommandIds.h"
#include "gui/document/MyDoc.h"
#include "gui/document/MyView.h"

#include "GuiTestSupport.h"

#include <QDir>

#include <gtest/gtest.h>

namespace mireka {
namespace {

class DocumentEncodingTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        QDir::setCurrent(dir.path());
    }
    void Start(const QString& file = {}) { ASSERT_TRUE(app.InitInstance(test::CommandLine(file))); }
    CMyDoc& Doc() { return *app.Document(); }
    CMyView& View() { return *app.MainFrame()->View(); }
    CommandTable& Commands() { return app.MainFrame()->Commands(); }
    QString Pane() { return app.MainFrame()->PaneText(cmd::IndicatorEncoding); }

    QTemporaryDir dir;
    test::PrivateSettings settings;
    test::FakePrompts prompts;
    CMyApp app;
};

TEST_F(DocumentEncodingTest, AnUntouchedFileSavesByteForByteInItsOwnFormat) {
    WriteProfileString("Settings", kNewDocumentEncodingKey, "UTF-8");
    WriteProfileString("Settings", kNewDocumentLineEndsKey, "LF");
    const struct {
        QByteArray file;
        std::string text; // as the editor holds it
        const char* pane;
        QByteArray saved;
    } rows[] = {
        {"// \xE6\x97\xA5\xE6\x9C\xAC\nint x;\n",
         "// \xE6\x97\xA5\xE6\x9C\xAC\r\nint x;\r\n",
         "UTF-8 LF",
         {}},
        {"// \xE6\x97\xA5\r\nint x;\r\n", "// \xE6\x97\xA5\r\nint x;\r\n", "UTF-8 CRLF", {}},
        {"\xEF\xBB\xBF// \xE6\x97\xA5\nx", "// \xE6\x97\xA5\r\nx", "UTF-8 LF", {}},
        {"\xEF\xBB\xBFx\r\n", "x\r\n", "UTF-8 CRLF", {}},
        {"\xEF\xBB\xBF", "", "UTF-8 LF", {}},
        {"int x;\n", "int x;\r\n", "UTF-8 LF", {}}, // plain ASCII: the new-document encoding
        // Shift_JIS (and UTF-8 with a stray byte) as always: CR LF, nothing repaired.
        {"// \x93\xFA\n", "// \x93\xFA\r\n", "Shift_JIS CRLF", "// \x93\xFA\r\n"},
        {"\xE6\x97\xA5\x80\r\n", "\xE6\x97\xA5\x80\r\n", "Shift_JIS CRLF", {}},
        {"\xEF\xBB\xBF\x82\xA0\n", "\xEF\xBB\xBF\x82\xA0\r\n", "Shift_JIS CRLF",
         "\xEF\xBB\xBF\x82\xA0\r\n"},
    };
    Start();
    int n = 0;
    for (const auto& r : rows) {
        SCOPED_TRACE(r.file.toStdString());
        const QString path = dir.filePath(QStringLiteral("f%1.c").arg(++n));
        test::WriteBytes(path, r.file);
        ASSERT_TRUE(app.OpenDocumentFile(test::Native(path)));
        EXPECT_EQ(View().GetWindowText(), r.text);
        EXPECT_EQ(Pane(), QString::fromUtf8(r.pane));
        EXPECT_EQ(View().Session().GetEncoding(), Doc().GetFormat().encoding);
        ASSERT_TRUE(Commands().Execute(cmd::FileSave));
        EXPECT_EQ(test::ReadBytes(path), r.saved.isNull() ? r.file : r.saved);
    }
    // An edit in an LF file keeps LF on the lines it adds.
    View().SetWindowText("a\r\nb");
    Doc().SetFormat({Encoding::Utf8, LineEnds::Lf, false});
    ASSERT_TRUE(Commands().Execute(cmd::FileSave));
    EXPECT_EQ(test::ReadBytes(dir.filePath(QStringLiteral("f%1.c").arg(n))), "a\nb");
}

TEST_F(DocumentEncodingTest, NewDocumentsFollowTheSettings) {
    Start();
    EXPECT_EQ(Doc().GetFormat(), (FileFormat{Encoding::Cp932, LineEnds::CrLf, false}));
    EXPECT_EQ(Pane(), "Shift_JIS CRLF");
    WriteProfileString("Settings", kNewDocumentEncodingKey, "UTF-8");
    WriteProfileString("Settings", kNewDocumentLineEndsKey, "LF");
    ASSERT_TRUE(Commands().Execute(cmd::FileNew));
    EXPECT_EQ(Doc().GetFormat(), (FileFormat{Encoding::Utf8, LineEnds::Lf, false}));
    EXPECT_EQ(View().Session().GetEncoding(), Encoding::Utf8);
    EXPECT_EQ(Pane(), "UTF-8 LF");
    WriteProfileString("Settings", kNewDocumentEncodingKey, "EUC");
    ASSERT_TRUE(Commands().Execute(cmd::FileNew));
    EXPECT_EQ(Doc().GetFormat(), SystemNewDocumentFormat()) << "a malformed value is the default";
}

TEST_F(DocumentEncodingTest, TheMenuConvertsInOneUndoStepOrNamesWhatDoesNotFit) {
    const std::string sjis = "// \x93\xFA\x96\x7B\r\nint x;\r\n";
    const std::string utf8 = "// \xE6\x97\xA5\xE6\x9C\xAC\r\nint x;\r\n";
    test::WriteBytes(dir.filePath("s.c"), QByteArray::fromStdString(sjis));
    Start(dir.filePath("s.c"));
    EXPECT_TRUE(Commands().State(cmd::ViewEncodingCp932).checked.value_or(false));
    EXPECT_FALSE(Commands().State(cmd::ViewEncodingUtf8).checked.value_or(true));

    ASSERT_TRUE(Commands().Execute(cmd::ViewEncodingUtf8));
    EXPECT_EQ(View().GetWindowText(), utf8);
    EXPECT_EQ(Doc().GetFormat().encoding, Encoding::Utf8);
    EXPECT_TRUE(Commands().State(cmd::ViewEncodingUtf8).checked.value_or(false));
    EXPECT_EQ(Pane(), "UTF-8 CRLF");
    EXPECT_EQ(GetProfileString("Settings", kNewDocumentEncodingKey), "UTF-8");
    ASSERT_TRUE(Commands().Execute(cmd::FileSave));
    EXPECT_EQ(test::ReadBytes(dir.filePath("s.c")).toStdString(), utf8);
    View().Undo();
    EXPECT_EQ(View().GetWindowText(), sjis) << "one step";
    View().Redo();

    ASSERT_TRUE(Commands().Execute(cmd::ViewEncodingCp932));
    EXPECT_EQ(View().GetWindowText(), sjis);
    EXPECT_EQ(GetProfileString("Settings", kNewDocumentEncodingKey), "Shift_JIS");

    // A character code page 932 lacks: named with its line, and nothing changes.
    ASSERT_TRUE(Commands().Execute(cmd::ViewEncodingUtf8));
    const std::string emoji = "int a;\r\n// \xF0\x9F\x98\x80\r\n";
    View().SetWindowText(emoji);
    View().ClearUndoHistory();
    ASSERT_TRUE(Commands().Execute(cmd::ViewEncodingCp932));
    EXPECT_EQ(View().GetWindowText(), emoji);
    EXPECT_EQ(Doc().GetFormat().encoding, Encoding::Utf8);
    EXPECT_EQ(GetProfileString("Settings", kNewDocumentEncodingKey), "UTF-8");
    EXPECT_FALSE(View().CanUndo());
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_TRUE(prompts.messages[0].text.startsWith("2 行目の文字「😀」(U+1F600)"))
        << prompts.messages[0].text.toStdString();
}

} // namespace
} // namespace mireka
