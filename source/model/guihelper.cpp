#include "model/guihelper.h"

#include "core/parseint.h"

std::string IGuiHelper::GetValue(ValueKind kind) const {
    return kind == ValueKind::Current ? currentValue : newValue;
}

bool IGuiHelper::IsChanged() const {
    return currentValue != newValue;
}

void IGuiHelper::SetValue(ValueKind kind, const std::string& text) {
    if (kind == ValueKind::New || kind == ValueKind::Current) {
        StoreValue(kind, text);
    }
}

void IGuiHelper::StoreValue(ValueKind kind, const std::string& text) {
    if (kind == ValueKind::New) {
        newValue = text;
    } else if (kind == ValueKind::Current) {
        currentValue = text;
    }
}

void IGuiHelper::ShowUnitValue(const std::string& text) {
    std::string copy = text;
    ShowUnitValue(copy);
}

void IGuiHelper::SetNewValue(const std::string& text) {
    std::string copy = text;
    SetNewValue(copy);
}

void IGuiHelper::ChooseNewValue(const std::string& text) {
    SetNewValue(text);
    chosen = true;
}

void IGuiHelper::FollowUnit() {
    chosen = false;
    if (!currentValue.empty()) {
        const std::string unitValue = currentValue;
        ShowUnitValue(unitValue);
    }
}

bool IGuiHelper::StoreUnitValue(const std::string& kept) {
    currentValue = kept;
    if (chosen) {
        return false;
    }
    newValue = kept;
    return true;
}

int32_t ParseSettingValue(const std::string& text) {
    return ParseInt(text, -1);
}
