#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/phonebookproviders.h"

// Drives a phonebook provider from its start the way the write controller does: each entry it
// offers as "position=number", with `full` also its type and its name.
inline std::vector<std::string> Offered(CPhoneBookDataProvider& provider, bool full = false) {
    std::vector<std::string> offered;
    provider.Reset();
    while (provider.HasMore()) {
        const int32_t at = provider.NextPosition();
        offered.push_back(std::to_string(at) + "=" + provider.GetNumber(at));
        if (full) {
            offered.back() += "," + provider.GetType(at) + ",\"" + provider.GetText(at) + "\"";
        }
    }
    return offered;
}
