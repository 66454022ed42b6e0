#include "model/settingrules.h"

#include "core/parseint.h"
#include "model/guihelper.h"

namespace {

constexpr int32_t kToggle = 0;
constexpr int32_t kMaxTime = 254;
// The time a unit without a valid active time or delay is given; for the active time it is
// also the item "2" of its list.
constexpr int32_t kFallbackTime = 2;
constexpr int32_t kFallbackTimeItem = 2;

bool IsTime(int32_t n) {
    return n >= kToggle && n <= kMaxTime;
}

// A drop-down list setting: its items and the two fallbacks for invalid values, one for a
// value read from the unit and one for a value typed or loaded. The active time uses only the
// items: its list is editable and its values follow rules of their own.
struct CListRule {
    std::vector<CSettingItem> items;
    int32_t unitFallback = 0;
    int32_t newFallback = 0;

    bool IsIndex(int32_t n) const { return n >= 0 && static_cast<std::size_t>(n) < items.size(); }
};

const CListRule& ListRule(ESettingKind kind) {
    static const CListRule activeTime{{{"TOGGLE"},
                                       {"1", false},
                                       {"2", false},
                                       {"5", false},
                                       {"10", false},
                                       {"30", false},
                                       {"60", false},
                                       {"120", false},
                                       {"240", false}}};
    static const CListRule activeRelay{
        {{"NOT_IN_USE"}, {"RELAY1"}, {"RELAY2"}, {"BOTH_RELAYS"}}, 1, 1};
    static const CListRule smsAck{{{"WHEN_ALARM_ACTIVATED"}, {"ALWAYS"}}, 1, 0};
    static const CListRule accessControl{{{"OFF"}, {"ON"}}, 0, 0};
    static const CListRule inputBehaviour{{{"DELAY"}, {"BLOCK"}}, 0, 0};
    static const CListRule none{};
    switch (kind) {
        case ESettingKind::activeTime:
            return activeTime;
        case ESettingKind::activeRelay:
            return activeRelay;
        case ESettingKind::smsAck:
            return smsAck;
        case ESettingKind::accessControl:
            return accessControl;
        case ESettingKind::inputBehaviour:
            return inputBehaviour;
        case ESettingKind::delayBlockTime:
            break;
    }
    return none;
}

CUnitValueTaken TakeUnitActiveTime(const std::string& text) {
    const int32_t n = ParseSettingValue(text);
    if (n == kToggle) {
        return {IntToStr(n), CControlView::Item(0), CControlView::Item(0)};
    }
    if (IsTime(n)) {
        return {IntToStr(n), CControlView::Text(IntToStr(n)), CControlView::Text(IntToStr(n))};
    }
    return {IntToStr(kFallbackTime), CControlView::Text(""), CControlView::Item(kFallbackTimeItem)};
}

CUnitValueTaken TakeUnitListValue(const CListRule& rule, const std::string& text) {
    const int32_t n = ParseSettingValue(text);
    if (rule.IsIndex(n)) {
        return {text, CControlView::Item(n), CControlView::Item(n)};
    }
    return {IntToStr(rule.unitFallback), CControlView::Text(""),
            CControlView::Item(rule.unitFallback)};
}

CNewValueTaken TakeNewActiveTime(const std::string& text) {
    const int32_t n = ParseSettingValue(text);
    if (n == kToggle) {
        return {IntToStr(n), CControlView::Item(0)};
    }
    // Out of range, and the toggle caption, which is no number, are shown as the plain "0"
    // rather than as the toggle item.
    const std::string kept = IntToStr(IsTime(n) ? n : kToggle);
    return {kept, CControlView::Text(kept)};
}

CNewValueTaken TakeNewListValue(const CListRule& rule, const std::string& text,
                                int32_t selectedItem) {
    int32_t n = ParseSettingValue(text);
    if (n < 0) {
        // Leaving a list passes its caption: the selection is the value.
        n = selectedItem;
    }
    if (!rule.IsIndex(n)) {
        n = rule.newFallback;
    }
    return {IntToStr(n), CControlView::Item(n)};
}

CNewValueTaken TakeNewDelay(const std::string& text, const std::string& currentValue) {
    int32_t n = ParseSettingValue(text);
    if (!IsTime(n)) {
        const int32_t current = ParseSettingValue(currentValue);
        n = IsTime(current) ? current : kFallbackTime;
    }
    // Plain decimal, so what is written to the unit is always a plain number.
    const std::string kept = IntToStr(n);
    return {kept, CControlView::Text(kept)};
}

}  // namespace

const std::vector<CSettingItem>& SettingItems(ESettingKind kind) {
    return ListRule(kind).items;
}

CUnitValueTaken TakeUnitValue(ESettingKind kind, const std::string& text) {
    if (kind == ESettingKind::delayBlockTime) {
        // Kept and shown as read; only a value in range reaches the new edit.
        return {
            text, CControlView::Text(text),
            IsTime(ParseSettingValue(text)) ? CControlView::Text(text) : CControlView::Unchanged()};
    }
    if (text.empty()) {
        return {text, CControlView::Text(""), CControlView::Unchanged()};
    }
    return kind == ESettingKind::activeTime ? TakeUnitActiveTime(text)
                                            : TakeUnitListValue(ListRule(kind), text);
}

CNewValueTaken TakeNewValue(ESettingKind kind, const std::string& text,
                            const std::string& currentValue, int32_t selectedItem) {
    switch (kind) {
        case ESettingKind::activeTime:
            return TakeNewActiveTime(text);
        case ESettingKind::delayBlockTime:
            return TakeNewDelay(text, currentValue);
        default:
            return TakeNewListValue(ListRule(kind), text, selectedItem);
    }
}
