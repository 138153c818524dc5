// The frame's part of the code templates: the submenu, adding a template and organising them.
#include "core/app/Templates.h"
#include "gui/app/MainFrame.h"
#include "gui/app/TemplateDlgs.h"
#include "gui/base/DialogRunner.h"
#include "gui/base/Prompts.h"
#include "gui/document/MyDoc.h"
#include "gui/document/MyView.h"
#include "platform/FileSystem.h"
#include "platform/SafeFile.h"

#include <QCollator>
#include <QFile>
#include <QMenu>

#include <algorithm>

namespace mireka {

void CMainFrame::RebuildTemplateMenu() {
    if (!templateMenu_) return;
    for (QAction* a : templateActions_) {
        templateMenu_->removeAction(a);
        delete a;
    }
    templateActions_.clear();
    m_templateNames.clear();
    m_nNextTemplateId = kFirstTemplateId;

    std::vector<std::string> names = ScanTemplateNames(TemplateFolder());
    if (names.empty()) return;
    // The user's own order of names, capitals apart.
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseSensitive);
    std::vector<std::pair<QString, std::string>> shown;
    shown.reserve(names.size());
    for (std::string& name : names)
        shown.emplace_back(DisplayPath(name), std::move(name));
    std::stable_sort(shown.begin(), shown.end(), [&collator](const auto& a, const auto& b) {
        return collator.compare(a.first, b.first) < 0;
    });
    templateActions_.reserve(static_cast<qsizetype>(shown.size()));
    for (auto& [text, name] : shown) {
        QString label = text;
        label.replace(u'&', QStringLiteral("&&"));
        QAction* action = templateMenu_->addAction(label);
        const std::size_t index = m_templateNames.size();
        connect(action, &QAction::triggered, this, [this, index] {
            if (index < m_templateNames.size()) view_->ApplyTemplate(m_templateNames[index]);
        });
        templateActions_.append(action);
        m_templateNames.push_back(std::move(name));
        ++m_nNextTemplateId;
    }
}

void CMainFrame::OnAddTemplate() {
    CMyDoc* doc = view_->GetDocument();
    const QString title = doc ? doc->GetTitle() : QStringLiteral("untitled");
    CAddTemplateDlg dlg(this);
    dlg.SetName(QString::fromStdString(SuggestTemplateName(title.toStdString())));
    if (RunModal(dlg) != QDialog::Accepted) return;
    const std::string name = QFile::encodeName(dlg.Name()).toStdString();
    if (const std::string problem = TemplateNameProblem(name); !problem.empty()) {
        prompts_.Message(this, QString::fromStdString(problem), QMessageBox::Warning);
        return;
    }
    // A folder that cannot be made shows as the file that cannot be written.
    MakeTemplateFolder();
    const std::string path = TemplatePath(name);
    if (QueryFile(path).Exists()) {
        const auto answer = prompts_.Message(
            this,
            QStringLiteral("'%1' は既に存在します。\n上書きしますか？").arg(DisplayPath(path)),
            QMessageBox::Warning, QMessageBox::Yes | QMessageBox::No);
        if (answer == QMessageBox::No) return;
    }
    std::string error;
    if (!WriteFileSafely(path, view_->GetWindowText(), &error))
        prompts_.Message(this,
                         QStringLiteral("'%1' をオープンできません。\n%2")
                             .arg(DisplayPath(path), QString::fromStdString(error)),
                         QMessageBox::Warning);
}

void CMainFrame::OnOrganizeTemplates() {
    COrganizeTemplatesDlg dlg(m_templateNames, this);
    RunModal(dlg);
}

} // namespace mireka
