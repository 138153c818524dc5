// The main view's conversions of the whole text (JIS and EUC-JP to Shift_JIS, UTF-8 to code
// page 932, the document's encoding), its export as an HTML listing, the insertion of a
// template and the status pane of the document's format.
#include "core/app/Templates.h"
#include "core/document/CodeConvert.h"
#include "core/document/FileFormat.h"
#include "core/document/HtmlExport.h"
#include "gui/base/CommandIds.h"
#include "gui/base/CommandTable.h"
#include "gui/base/FrameServices.h"
#include "gui/base/Prompts.h"
#include "gui/base/WaitCursor.h"
#include "gui/document/MyDoc.h"
#include "gui/document/MyView.h"
#include "gui/editor/Cp932.h"
#include "gui/editor/TextCodec.h"
#include "platform/FileSystem.h"
#include "platform/SafeFile.h"

namespace mireka {

void CMyView::RegisterConvertCommands(CommandTable& table) {
    const auto needText = [this](CmdUI& ui) { ui.enabled = GetWindowTextLength() > 0; };
    table.Register(
        cmd::ViewCodeConvert, [this] { OnCodeConvert(); }, needText);
    table.Register(
        cmd::ViewUtf8Convert, [this] { OnUtf8Convert(); }, needText);
    table.Register(
        cmd::FileHtml, [this] { OnExportHtml(); }, needText);
    for (const auto& [id, encoding] : {std::pair{cmd::ViewEncodingCp932, Encoding::Cp932},
                                       std::pair{cmd::ViewEncodingUtf8, Encoding::Utf8}})
        table.Register(
            id, [this, encoding] { OnSetEncoding(encoding); },
            [this, encoding](CmdUI& ui) {
                ui.checked = doc_ && doc_->GetFormat().encoding == encoding;
            });
}

void CMyView::UpdateFormatPane() {
    if (!doc_) return;
    if (FrameServices* frame = FrameOf(this))
        frame->SetPaneText(cmd::IndicatorEncoding,
                           QString::fromUtf8(FormatName(doc_->GetFormat())));
}

namespace {

// The text in code page 932, or false after naming its first character the code page lacks,
// with its line.
bool EncodeCp932OrSay(QWidget* parent, const QString& unicode, std::string& converted) {
    QString bad;
    qsizetype at = 0;
    if (cp932::Encode(unicode, converted, &bad, &at)) return true;
    const qsizetype line = QStringView(unicode).left(at).count(u'\n') + 1;
    const QString code =
        QStringLiteral("%1").arg(bad.toUcs4().value(0), 4, 16, QLatin1Char('0')).toUpper();
    Prompts::Current().Message(
        parent,
        QStringLiteral("%1 行目の文字「%2」(U+%3) はシフト JIS にないため、変換できません。\n"
                       "この文字を別の文字に置き換えてから、もう一度変換してください。")
            .arg(line)
            .arg(bad, code),
        QMessageBox::Warning);
    return false;
}

} // namespace

void CMyView::OnSetEncoding(Encoding encoding) {
    if (!doc_) return;
    FileFormat format = doc_->GetFormat();
    if (format.encoding != encoding) {
        WaitCursor wait;
        const std::string text = GetWindowText();
        std::string converted;
        if (encoding == Encoding::Cp932) {
            if (!CheckUtf8(text).valid) return Prompts::Current().Beep();
            const QString unicode =
                QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
            if (!EncodeCp932OrSay(this, unicode, converted)) return;
        } else {
            const QString unicode = cp932::Decode(text);
            // A byte the code page does not define has no character to carry over.
            if (const qsizetype bad = unicode.indexOf(QChar::ReplacementCharacter); bad >= 0) {
                Prompts::Current().Message(
                    this,
                    QStringLiteral("%1 行目にシフト JIS の文字でないバイトがあるため、UTF-8 "
                                   "に変換できません。")
                        .arg(QStringView(unicode).left(bad).count(u'\n') + 1),
                    QMessageBox::Warning);
                return;
            }
            converted = unicode.toStdString();
        }
        format.encoding = encoding;
        if (encoding == Encoding::Cp932) format = {Encoding::Cp932, LineEnds::CrLf, false};
        doc_->SetFormat(format);
        if (converted != text) ReplaceAllWithUndo(converted);
    }
    WriteNewDocumentEncoding(encoding);
}

void CMyView::ReplaceAllWithUndo(const std::string& text) {
    SetRedraw(false);
    SelectAll();
    Session().ReplaceSelAsOneStep(text);
    SetRedraw(true);
    ScrollCaret();
    if (CMyDoc* doc = GetDocument()) doc->SetModifiedFlag(true);
}

void CMyView::OnCodeConvert() {
    WaitCursor wait;
    std::string text = GetWindowText();
    // UTF-8 would be taken for EUC-JP and garbled: the learner wants the other command.
    const Utf8Check utf8 = CheckUtf8(text);
    if (utf8.valid && utf8.multibyte) {
        Prompts::Current().Beep();
        if (FrameServices* frame = FrameOf(this))
            frame->ShowHint(QStringLiteral(
                "UTF-8 のテキストです。[表示]→[UTF-8 から変換] でシフト JIS に変換してください。"));
        return;
    }
    if (ConvertJapaneseText(text)) ReplaceAllWithUndo(text);
}

void CMyView::OnUtf8Convert() {
    WaitCursor wait;
    const std::string text = GetWindowText();
    const Utf8Check check = CheckUtf8(text);
    if (!check.valid) return Prompts::Current().Beep();
    // Plain ASCII is the same in both: nothing to do, and no undo step for nothing.
    if (!check.multibyte) return;
    const std::string_view body = std::string_view(text).substr(check.bom ? 3 : 0);
    const QString unicode = QString::fromUtf8(body.data(), static_cast<qsizetype>(body.size()));
    std::string converted;
    if (!EncodeCp932OrSay(this, unicode, converted)) return;
    // A UTF-8 document converted is a Shift_JIS one, or the next save would mislabel it.
    if (doc_ && doc_->GetFormat().encoding == Encoding::Utf8)
        doc_->SetFormat({Encoding::Cp932, LineEnds::CrLf, false});
    ReplaceAllWithUndo(converted);
}

void CMyView::ApplyTemplate(const std::string& name) {
    const std::string path = TemplatePath(name);
    std::string text, error;
    if (!ReadWholeFile(path, &text, &error)) {
        Prompts::Current().Message(this,
                                   QStringLiteral("'%1' をオープンできません。\n%2")
                                       .arg(DisplayPath(path), QString::fromStdString(error)),
                                   QMessageBox::Warning);
        return;
    }
    CutAtNul(text);
    ReplaceSelWithUndo(text);
    ScrollCaret();
}

void CMyView::OnExportHtml() {
    const std::optional<FileChoice> choice = Prompts::Current().SaveFile(
        this,
        QStringLiteral("HTML ファイル (*.html;*.htm)|*.html;*.htm|すべてのファイル (*.*)|*.*||"), 1,
        {}, QStringLiteral("html"), QStringLiteral("HTML 出力"));
    if (!choice) return;
    const FrameServices* frame = FrameOf(this);
    const EditorColours colours = frame ? frame->Colours() : EditorColours{};
    // The page is in the document's encoding; a character of the name that Shift_JIS cannot
    // hold shows as "?".
    const QString name = GetDocument() ? GetDocument()->GetTitle() : QStringLiteral("untitled");
    const Encoding enc = Session().GetEncoding();
    std::string title;
    if (enc == Encoding::Cp932 || !codec::Encode(enc, name, title))
        cp932::EncodeReplacing(name, title);
    std::string error;
    bool written = false;
    {
        WaitCursor wait;
        written = WriteFileSafely(
            choice->path, MakeHtmlListing(GetWindowText(), colours, m_nTabWidth, title, enc),
            &error);
    }
    if (!written)
        Prompts::Current().Message(this,
                                   QStringLiteral("出力ファイルをオープン出来ません.\n") +
                                       QString::fromStdString(error),
                                   QMessageBox::Warning);
}

} // namespace mireka
