#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "atcomm/phonebookdata.h"

// One entry as a phonebook write would send it.
struct OfferedEntry {
    int32_t position;
    std::string number;
    std::string type;
    std::string text;
    bool operator==(const OfferedEntry&) const = default;
};

// Drives a phonebook provider the way the write controller does and returns what it offered.
inline std::vector<OfferedEntry> Offered(IPhoneBookDataProvider& provider) {
    std::vector<OfferedEntry> offered;
    while (provider.HasMore()) {
        const int32_t position = provider.NextPosition();
        offered.push_back({position, provider.GetNumber(position), provider.GetType(position),
                           provider.GetText(position)});
    }
    return offered;
}

inline std::vector<int32_t> OfferedPositions(IPhoneBookDataProvider& provider) {
    std::vector<int32_t> positions;
    for (const OfferedEntry& entry : Offered(provider)) {
        positions.push_back(entry.position);
    }
    return positions;
}
