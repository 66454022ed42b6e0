#include "ui/settingcontrols.h"

#include <QComboBox>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QStringList>

#include "core/win1252.h"
#include "model/guihelper.h"
#include "persistence/applanguage.h"
#include "ui/langcontroller.h"

namespace {

QString WidgetText(const std::string& text) {
    return QString::fromStdString(Win1252ToUtf8(text));
}

// The language that Update is told about: the event's language object when it is a
// language-loaded event that carries one, else null (the event is then ignored).
const CAppLanguage* LoadedLanguage(IObsEvent* event) {
    const auto* loaded = dynamic_cast<CLangLoadedEvent*>(event);
    return loaded != nullptr ? loaded->GetAppLanguage() : nullptr;
}

// Replaces the items and selects the item that was selected before. An editable list keeps a
// typed text that is not its selected item, since that text, not the selection, is the value.
// Change signals are held back meanwhile: the choice itself does not change.
void RefillItems(QComboBox& list, const QStringList& items) {
    const QSignalBlocker quiet(&list);
    const int index = list.currentIndex();
    const QString shown = list.currentText();
    const bool showsItem = index >= 0 && list.itemText(index) == shown;
    list.clear();
    list.addItems(items);
    list.setCurrentIndex(index);
    if (list.isEditable() && !(showsItem && index < list.count())) {
        list.setEditText(shown);
    }
}

}  // namespace

CSettingControls::CSettingControls(ESettingKind kind, QLineEdit* currentControl,
                                   QComboBox* newControl)
    : kind(kind), currentControl(currentControl), newList(newControl) {}

CSettingControls::CSettingControls(ESettingKind kind, QLineEdit* currentControl,
                                   QLineEdit* newControl)
    : kind(kind), currentControl(currentControl), newEdit(newControl) {}

void CSettingControls::ShowUnitValue(IGuiHelper& presenter, std::string& text) {
    const CUnitValueTaken taken = TakeUnitValue(kind, text);
    text = taken.kept;
    if (presenter.StoreUnitValue(text)) {
        ShowInNewControl(taken.newControl);
    }
    ShowInCurrentControl(taken.currentControl);
}

void CSettingControls::SetNewValue(IGuiHelper& presenter, std::string& text) {
    const CNewValueTaken taken = TakeNewValue(kind, text, presenter.GetValue(ValueKind::Current),
                                              newList ? newList->currentIndex() : -1);
    ShowInNewControl(taken.newControl);
    text = taken.kept;
    presenter.StoreValue(ValueKind::New, text);
}

void CSettingControls::Update(const IGuiHelper& presenter, IObsEvent* event) {
    const std::vector<CSettingItem>& items = SettingItems(kind);
    const CAppLanguage* language = LoadedLanguage(event);
    if (items.empty() || language == nullptr || !newList) {
        return;
    }
    QStringList texts;
    for (const CSettingItem& item : items) {
        texts << (item.isLanguageKey ? LanguageText(*language, item.text) : WidgetText(item.text));
    }
    RefillItems(*newList, texts);
    // A value read from the unit shows as an item's caption, which has just changed; a
    // control emptied at a disconnect stays empty.
    const std::string current = presenter.GetValue(ValueKind::Current);
    if (!current.empty() && currentControl && !currentControl->text().isEmpty()) {
        ShowInCurrentControl(TakeUnitValue(kind, current).currentControl);
    }
}

void CSettingControls::ShowInCurrentControl(const CControlView& view) {
    if (!currentControl) {
        return;
    }
    if (view.show == CControlView::EShow::text) {
        currentControl->setText(WidgetText(view.text));
    } else if (view.show == CControlView::EShow::item) {
        // The caption the new list gives the item; nothing when the list has gone.
        currentControl->setText(newList ? newList->itemText(view.item) : QString());
    }
}

void CSettingControls::ShowInNewControl(const CControlView& view) {
    if (view.show == CControlView::EShow::item) {
        if (newList) {
            newList->setCurrentIndex(view.item);
        }
    } else if (view.show == CControlView::EShow::text) {
        if (newList) {
            newList->setCurrentText(WidgetText(view.text));
        }
        if (newEdit) {
            newEdit->setText(WidgetText(view.text));
        }
    }
}
