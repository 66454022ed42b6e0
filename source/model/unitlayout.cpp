#include "model/unitlayout.h"

#include <algorithm>

std::string CUnitLayout::ResetValue(int32_t position) {
    switch (position) {
        case kAccessControlPosition:
        case kCallMaskPosition:
        case kInputBehaviourPosition:
        case kSmsAckPosition:
            return "0";
        case kActiveRelayPosition:
            return "1";
        case kActiveTimePosition:
            return "2";
        default:
            // The six delay/block times.
            return IsSettingPosition(position) ? "2" : "";
    }
}

int32_t CUnitLayout::AccessNumberCount(int32_t phoneBookSize) {
    return std::max(phoneBookSize - kReservedCount, 0);
}

int32_t CUnitLayout::AccessNumberPosition(int32_t accessNumber) {
    return AccessGridRowToTableRow(accessNumber - 1) + 1;
}
