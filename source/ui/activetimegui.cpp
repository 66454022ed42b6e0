#include "ui/activetimegui.h"

#include <QComboBox>
#include <QLineEdit>

#include "core/parseint.h"
#include "persistence/applanguage.h"
#include "ui/dropdownlist.h"
#include "ui/langcontroller.h"

namespace {

constexpr int kToggle = 0;
constexpr int kMaxTime = 254;
// The item "2", the time a unit without a valid value is given.
constexpr int kFallbackItem = 2;
constexpr int kFallbackTime = 2;

// The items after the toggle item; they are numbers and read the same in every language.
const QStringList& FixedTimes() {
    static const QStringList times = {"1", "2", "5", "10", "30", "60", "120", "240"};
    return times;
}

}  // namespace

CActiveTimeGui::CActiveTimeGui(QLineEdit* currentControl, QComboBox* newControl)
    : currentControl(currentControl), newControl(newControl) {}

void CActiveTimeGui::Update(IObsEvent* event) {
    const CAppLanguage* language = LoadedLanguage(event);
    if (language == nullptr) {
        return;
    }
    RefillComboItems(newControl, QStringList{LanguageText(*language, "TOGGLE")} + FixedTimes());
}

void CActiveTimeGui::ShowUnitValue(std::string& text) {
    if (text.empty()) {
        if (currentControl) {
            currentControl->clear();
        }
    } else {
        int n = ParseSettingValue(text);
        QString shown;
        if (n > kToggle && n <= kMaxTime) {
            shown = QString::number(n);
            if (newControl) {
                newControl->setCurrentText(shown);
            }
        } else if (n == kToggle) {
            if (newControl) {
                newControl->setCurrentIndex(0);
                shown = newControl->itemText(0);
            }
        } else {
            if (newControl) {
                newControl->setCurrentIndex(kFallbackItem);
            }
            n = kFallbackTime;
        }
        if (currentControl) {
            currentControl->setText(shown);
        }
        text = IntToStr(n);
    }
    StoreValue(ValueKind::Current, text);
    StoreValue(ValueKind::New, text);
}

void CActiveTimeGui::SetNewValue(std::string& text) {
    int n = ParseSettingValue(text);
    if (n < 0 || n > kMaxTime) {
        n = kToggle;
        if (newControl) {
            newControl->setCurrentText("0");
        }
    } else if (n == kToggle) {
        if (newControl) {
            newControl->setCurrentIndex(0);
        }
    } else if (newControl) {
        newControl->setCurrentText(QString::number(n));
    }
    text = IntToStr(n);
    StoreValue(ValueKind::New, text);
}

QStringList CActiveTimeGui::FormItems() {
    return QStringList{"Toggle"} + FixedTimes();
}
