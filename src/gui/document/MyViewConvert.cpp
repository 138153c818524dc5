// The main view's conversions of the whole text: JIS and EUC-JP to Shift_JIS, UTF-8 to code
// page 932.
#include "core/document/CodeConvert.h"
#include "gui/base/CommandIds.h"
#include "gui/base/CommandTable.h"
#include "gui/base/Prompts.h"
#include "gui/base/WaitCursor.h"
#include "gui/document/MyDoc.h"
#include "gui/document/MyView.h"
#include "gui/editor/Cp932.h"

namespace mireka {

void CMyView::RegisterConvertCommands(CommandTable& table) {
    const auto needText = [this](CmdUI& ui) { ui.enabled = GetWindowTextLength() > 0; };
    table.Register(
        cmd::ViewCodeConvert, [this] { OnCodeConvert(); }, needText);
    table.Register(
        cmd::ViewUtf8Convert, [this] { OnUtf8Convert(); }, needText);
}

void CMyView::ReplaceAllWithUndo(const std::string& text) {
    SetRedraw(false);
    SelectAll();
    EditHistory().ReplaceSelAsOneStep(Control(), text);
    SetRedraw(true);
    ScrollCaret();
    if (CMyDoc* doc = GetDocument()) doc->SetModifiedFlag(true);
}

void CMyView::OnCodeConvert() {
    WaitCursor wait;
    std::string text = GetWindowText();
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
    QString bad;
    qsizetype at = 0;
    if (!cp932::Encode(unicode, converted, &bad, &at)) {
        const qsizetype line = QStringView(unicode).left(at).count(u'\n') + 1;
        const QString code =
            QStringLiteral("%1").arg(bad.toUcs4().value(0), 4, 16, QLatin1Char('0')).toUpper();
        Prompts::Current().Message(
            this,
            QStringLiteral("%1 行目の文字「%2」(U+%3) はシフト JIS にないため、変換できません。\n"
                           "この文字を別の文字に置き換えてから、もう一度変換してください。")
                .arg(line)
                .arg(bad, code),
            QMessageBox::Warning);
        return;
    }
    ReplaceAllWithUndo(converted);
}

} // namespace mireka
