#include "ui/delayblocktimegui.h"

#include <QLineEdit>
#include <QString>

#include "core/parseint.h"
#include "core/win1252.h"

namespace {

constexpr int kMaxTime = 254;
constexpr int kFallbackTime = 2;

bool InRange(int n) {
    return n >= 0 && n <= kMaxTime;
}

QString WidgetText(const std::string& text) {
    return QString::fromStdString(Win1252ToUtf8(text));
}

}  // namespace

CDelayBlockTimeGui::CDelayBlockTimeGui(QLineEdit* currentControl, QLineEdit* newControl)
    : currentControl(currentControl), newControl(newControl) {}

void CDelayBlockTimeGui::Update(IObsEvent* /*event*/) {}

void CDelayBlockTimeGui::ShowUnitValue(std::string& text) {
    if (currentControl) {
        currentControl->setText(WidgetText(text));
    }
    if (!text.empty() && InRange(ParseSettingValue(text)) && newControl) {
        newControl->setText(WidgetText(text));
    }
    StoreValue(ValueKind::Current, text);
    StoreValue(ValueKind::New, text);
}

void CDelayBlockTimeGui::SetNewValue(std::string& text) {
    const int n = ParseSettingValue(text);
    if (InRange(n)) {
        text = IntToStr(n);
    } else {
        const int current = ParseSettingValue(GetValue(ValueKind::Current));
        text = IntToStr(InRange(current) ? current : kFallbackTime);
    }
    if (newControl) {
        newControl->setText(WidgetText(text));
    }
    StoreValue(ValueKind::New, text);
}
