#include "ui/dropdownlist.h"

#include <QComboBox>
#include <QLineEdit>
#include <QSignalBlocker>
#include <utility>

#include "core/parseint.h"
#include "model/guihelper.h"
#include "persistence/applanguage.h"
#include "ui/langcontroller.h"

CAppLanguage* LoadedLanguage(IObsEvent* event) {
    const auto* loaded = dynamic_cast<CLangLoadedEvent*>(event);
    return loaded != nullptr ? loaded->GetAppLanguage() : nullptr;
}

void RefillComboItems(QComboBox* combo, const QStringList& items) {
    if (combo == nullptr) {
        return;
    }
    const QSignalBlocker quiet(combo);
    const int index = combo->currentIndex();
    const QString shown = combo->currentText();
    const bool showsItem = index >= 0 && combo->itemText(index) == shown;
    combo->clear();
    combo->addItems(items);
    combo->setCurrentIndex(index);
    if (combo->isEditable() && !(showsItem && index < combo->count())) {
        combo->setEditText(shown);
    }
}

CDropDownList::CDropDownList(QLineEdit* currentControl, QComboBox* newControl,
                             std::vector<std::string> itemKeys, int unitFallback, int newFallback)
    : currentControl(currentControl),
      newControl(newControl),
      itemKeys(std::move(itemKeys)),
      unitFallback(unitFallback),
      newFallback(newFallback) {}

bool CDropDownList::IsValidIndex(int index) const {
    return index >= 0 && static_cast<std::size_t>(index) < itemKeys.size();
}

std::string CDropDownList::ShowUnitValue(const std::string& text) {
    if (text.empty()) {
        if (currentControl) {
            currentControl->clear();
        }
        return text;
    }
    const int n = ParseSettingValue(text);
    const int index = IsValidIndex(n) ? n : unitFallback;
    if (newControl) {
        newControl->setCurrentIndex(index);
    }
    if (currentControl) {
        currentControl->setText(IsValidIndex(n) && newControl ? newControl->itemText(n)
                                                              : QString());
    }
    return IsValidIndex(n) ? text : IntToStr(unitFallback);
}

std::string CDropDownList::SetNewValue(const std::string& text) {
    int n = ParseSettingValue(text);
    if (n < 0) {
        n = newControl ? newControl->currentIndex() : -1;
    }
    if (!IsValidIndex(n)) {
        n = newFallback;
    }
    if (newControl) {
        newControl->setCurrentIndex(n);
    }
    return IntToStr(n);
}

void CDropDownList::Update(IObsEvent* event) {
    const CAppLanguage* language = LoadedLanguage(event);
    if (language == nullptr) {
        return;
    }
    QStringList items;
    for (const std::string& key : itemKeys) {
        items << LanguageText(*language, key);
    }
    RefillComboItems(newControl, items);
}
