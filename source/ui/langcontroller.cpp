#include "ui/langcontroller.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QTabWidget>
#include <utility>

#include "core/win1252.h"
#include "persistence/applanguage.h"
#include "vtlist.h"

QString LanguageText(const CAppLanguage& language, const std::string& key) {
    return QString::fromStdString(Win1252ToUtf8(language.GetText(key)));
}

CCaptionLangController::CCaptionLangController(std::string key) : key(std::move(key)) {}

void CCaptionLangController::Update(IObsEvent* event) {
    const auto* loaded = dynamic_cast<CLangLoadedEvent*>(event);
    if (loaded == nullptr || loaded->GetAppLanguage() == nullptr) {
        return;
    }
    SetCaption(LanguageText(*loaded->GetAppLanguage(), key));
}

CButtonLangController::CButtonLangController(std::string key, QAbstractButton* control)
    : CCaptionLangController(std::move(key)), control(control) {}

void CButtonLangController::SetCaption(const QString& caption) {
    if (control) {
        control->setText(caption);
    }
}

CMenuItemLangController::CMenuItemLangController(std::string key, QAction* control)
    : CCaptionLangController(std::move(key)), control(control) {}

void CMenuItemLangController::SetCaption(const QString& caption) {
    if (control) {
        control->setText(caption);
    }
}

CTabSheetLangController::CTabSheetLangController(std::string key, QWidget* control)
    : CCaptionLangController(std::move(key)), control(control) {}

void CTabSheetLangController::SetCaption(const QString& caption) {
    if (!control) {
        return;
    }
    // A page sits in the tab widget's internal stack, so the tab widget is an ancestor.
    for (QWidget* ancestor = control->parentWidget(); ancestor != nullptr;
         ancestor = ancestor->parentWidget()) {
        if (auto* tabs = qobject_cast<QTabWidget*>(ancestor)) {
            const int index = tabs->indexOf(control);
            if (index >= 0) {
                tabs->setTabText(index, caption);
                return;
            }
        }
    }
}

CLabelLangController::CLabelLangController(std::string key, QLabel* control)
    : CCaptionLangController(std::move(key)), control(control) {}

void CLabelLangController::SetCaption(const QString& caption) {
    if (control) {
        control->setText(caption);
    }
}

CGroupBoxLangController::CGroupBoxLangController(std::string key, QGroupBox* control)
    : CCaptionLangController(std::move(key)), control(control) {}

void CGroupBoxLangController::SetCaption(const QString& caption) {
    if (control) {
        control->setTitle(caption);
    }
}

CListViewLangController::CListViewLangController(TVTList* control, std::vector<std::string> keys)
    : control(control), keys(std::move(keys)) {}

void CListViewLangController::Update(IObsEvent* event) {
    const auto* loaded = dynamic_cast<CLangLoadedEvent*>(event);
    if (loaded == nullptr || loaded->GetAppLanguage() == nullptr || !control) {
        return;
    }
    const int columns = control->columnCount();
    for (int col = 0; col < columns && static_cast<std::size_t>(col) < keys.size(); ++col) {
        // The grid takes Windows-1252 captions itself.
        control->setColumnCaption(col, loaded->GetAppLanguage()->GetText(keys[col]));
    }
}
