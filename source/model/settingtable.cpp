#include "model/settingtable.h"

const char* StartValue(ESettingKind kind) {
    for (const CSettingEntry& entry : kSettingTable) {
        if (entry.kind == kind) {
            return entry.startValue;
        }
    }
    return "";
}
