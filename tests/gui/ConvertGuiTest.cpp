// The whole-text conversions through the real menus' commands: JIS and EUC-JP to Shift_JIS, and
// UTF-8 to code page 932, each one undoable step.
#include "gui/app/MainFrame.h"
#include "gui/app/MyApp.h"
#include "gui/base/CommandIds.h"
#include "gui/document/MyDoc.h"
#include "gui/document/MyView.h"

#include "GuiTestSupport.h"

#include <gtest/gtest.h>

namespace mireka {
namespace {

class ConvertGuiTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        QDir::setCurrent(dir.path());
    }
    void Start(const QString& file = {}) { ASSERT_TRUE(app.InitInstance(test::CommandLine(file))); }
    CMyView& View() { return *app.MainFrame()->View(); }
    CommandTable& Commands() { return app.MainFrame()->Commands(); }
    std::string Text() { return View().GetWindowText(); }
    // Puts text in as a loaded file would be: no undo history, not modified.
    void Load(const std::string& text) {
        View().SetWindowText(text);
        View().ClearUndoHistory();
        app.Document()->SetModifiedFlag(false);
    }

    QTemporaryDir dir;
    test::PrivateSettings settings;
    test::FakePrompts prompts;
    CMyApp app;
};

TEST_F(ConvertGuiTest, JisAndEucBecomeShiftJisInOneUndoableStep) {
    Start();
    EXPECT_FALSE(Commands().State(cmd::ViewCodeConvert).enabled) << "no text, nothing to convert";
    struct Case {
        std::string before;
        std::string after;
    };
    const Case cases[] = {
        {"/* \xa4\xa2 */\r\nint x;", "/* \x82\xa0 */\r\nint x;"},  // EUC-JP
        {"// \x1b$B$\"\x1b(B\r\nint x;", "// \x82\xa0\r\nint x;"}, // JIS
    };
    for (const Case& c : cases) {
        Load(c.before);
        ASSERT_TRUE(Commands().Execute(cmd::ViewCodeConvert));
        EXPECT_EQ(Text(), c.after);
        EXPECT_TRUE(app.Document()->IsModified());
        EXPECT_EQ(View().Control().Caret(), static_cast<Offset>(c.after.size()));
        View().Undo();
        EXPECT_EQ(Text(), c.before) << "one Undo gives the bytes back";
        EXPECT_FALSE(View().CanUndo());
    }
    // Shift_JIS and plain text stay as they are, without a message or an undo step.
    for (const std::string& text : {std::string("\x82\xa0"), std::string("int x;")}) {
        Load(text);
        ASSERT_TRUE(Commands().Execute(cmd::ViewCodeConvert));
        EXPECT_EQ(Text(), text);
        EXPECT_FALSE(View().CanUndo());
        EXPECT_FALSE(app.Document()->IsModified());
    }
    EXPECT_TRUE(prompts.messages.empty());

    // UTF-8 would be taken for EUC-JP (full-width "！" is EF BC 81) and garbled: a beep and the
    // other command named in the message pane.
    Load("// \xef\xbc\x81\r\n");
    ASSERT_TRUE(Commands().Execute(cmd::ViewCodeConvert));
    EXPECT_EQ(Text(), "// \xef\xbc\x81\r\n");
    EXPECT_FALSE(View().CanUndo());
    EXPECT_EQ(prompts.beeps, 1);
    EXPECT_TRUE(app.MainFrame()->MessageText().contains("UTF-8 から変換"));
}

TEST_F(ConvertGuiTest, Utf8BecomesCodePage932OrSaysWhyNot) {
    // A UTF-8 file opens as UTF-8: no hint, the mark out of the text; the command makes it a
    // Shift_JIS document.
    const QByteArray utf8 = "\xef\xbb\xbf// \xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e\r\nint x;\r\n";
    test::WriteBytes(dir.filePath("u.c"), utf8);
    Start(dir.filePath("u.c"));
    EXPECT_FALSE(app.MainFrame()->MessageText().contains("UTF-8 から変換"));
    EXPECT_EQ(Text(), utf8.mid(3).toStdString());
    EXPECT_EQ(app.Document()->GetFormat(), (FileFormat{Encoding::Utf8, LineEnds::CrLf, true}));
    ASSERT_TRUE(Commands().Execute(cmd::ViewUtf8Convert));
    EXPECT_EQ(Text(), "// \x93\xfa\x96\x7b\x8c\xea\r\nint x;\r\n");
    EXPECT_EQ(app.Document()->GetFormat(), (FileFormat{Encoding::Cp932, LineEnds::CrLf, false}));
    View().Undo();
    EXPECT_EQ(Text(), utf8.mid(3).toStdString());
    View().Redo();
    EXPECT_EQ(Text(), "// \x93\xfa\x96\x7b\x8c\xea\r\nint x;\r\n");

    // A character code page 932 lacks: the message names it and its line; nothing changes.
    const std::string emoji = "int a;\r\n// \xe3\x81\x82 \xf0\x9f\x98\x80\r\n";
    Load(emoji);
    ASSERT_TRUE(Commands().Execute(cmd::ViewUtf8Convert));
    EXPECT_EQ(Text(), emoji);
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_TRUE(prompts.messages[0].text.startsWith("2 行目の文字「😀」(U+1F600)"))
        << prompts.messages[0].text.toStdString();
    EXPECT_FALSE(View().CanUndo());

    // Not UTF-8 (Shift_JIS): a beep, nothing else.
    Load("\x82\xa0");
    ASSERT_TRUE(Commands().Execute(cmd::ViewUtf8Convert));
    EXPECT_EQ(Text(), "\x82\xa0");
    EXPECT_EQ(prompts.beeps, 1);
    EXPECT_EQ(prompts.messages.size(), 1u);
    EXPECT_FALSE(View().CanUndo());
}

TEST_F(ConvertGuiTest, HtmlExportWritesTheListingOrSaysWhyNot) {
    test::WriteBytes(dir.filePath("a<b>.c"), "int a;\r\n\tx;");
    Start(dir.filePath("a<b>.c"));
    // Cancelled: nothing is written.
    ASSERT_TRUE(Commands().Execute(cmd::FileHtml));
    EXPECT_EQ(prompts.lastSave.title, "HTML 出力");
    EXPECT_EQ(prompts.lastSave.defaultExt, "html");
    EXPECT_TRUE(prompts.lastSave.filters.startsWith("HTML ファイル (*.html;*.htm)|"));
    EXPECT_FALSE(QFile::exists(dir.filePath("a.html")));

    prompts.files.push_back(FileChoice{test::Native(dir.filePath("a.html")), 1});
    ASSERT_TRUE(Commands().Execute(cmd::FileHtml));
    EXPECT_EQ(test::ReadBytes(dir.filePath("a.html")),
              "<html>\r\n<head>\r\n"
              "<meta http-equiv=\"Content-Type\" content=\"text/html;charset=Shift_JIS\">\r\n"
              "<meta name=\"GENERATOR\" content=\"Mireka\">\r\n"
              "<title>a&lt;b&gt;.c</title>\r\n"
              "</head>\r\n<body bgcolor=\"#ffffff\" text=\"#000000\">\r\n"
              "<pre><font color=\"#0000ff\">int</font> a;\r\n    x;</pre>\r\n</body>\r\n</html>");
    EXPECT_TRUE(prompts.messages.empty());

    prompts.files.push_back(FileChoice{test::Native(dir.filePath("gone/a.html")), 1});
    ASSERT_TRUE(Commands().Execute(cmd::FileHtml));
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text,
              "出力ファイルをオープン出来ません.\nファイルまたはフォルダーが見つかりません。");
    EXPECT_EQ(Text(), "int a;\r\n\tx;") << "the editor is not changed";
}

} // namespace
} // namespace mireka
