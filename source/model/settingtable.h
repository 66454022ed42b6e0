#pragma once

#include <array>
#include <cstddef>

#include "model/settingrules.h"
#include "model/unitlayout.h"

// The unit's eleven settings as every front end presents them, in presenter and profile order:
// active time, active relay, SMS acknowledge, access control, input behaviour, then the delays
// of inputs 1 to 6. Each has its kind, whose rules and list items settingrules gives
// (SettingItems), and the new value a front end starts with before anything is read, typed or
// loaded.
struct CSettingEntry {
    ESettingKind kind;
    const char* startValue;
};

inline constexpr std::size_t kSettingCount = 5 + CUnitLayout::kInputCount;

inline constexpr std::array<CSettingEntry, kSettingCount> kSettingTable = {{
    {ESettingKind::activeTime, "2"},
    {ESettingKind::activeRelay, "1"},
    {ESettingKind::smsAck, "0"},
    {ESettingKind::accessControl, "0"},
    {ESettingKind::inputBehaviour, "0"},
    {ESettingKind::delayBlockTime, "2"},
    {ESettingKind::delayBlockTime, "2"},
    {ESettingKind::delayBlockTime, "2"},
    {ESettingKind::delayBlockTime, "2"},
    {ESettingKind::delayBlockTime, "2"},
    {ESettingKind::delayBlockTime, "2"},
}};

// The start value of the settings of `kind` (all settings of one kind start alike).
const char* StartValue(ESettingKind kind);
