// Loading any file as a profile: it is refused as no profile, or it fills the new side, and
// what was read from the unit (the current side, the labels) is never touched.

#include <string>
#include <vector>

#include "fuzzcheck.h"
#include "model/configurationmodel.h"
#include "model/storingpresenters.h"
#include "model/unitlayout.h"
#include "persistence/profilefile.h"

namespace {

using L = CUnitLayout;

// Everything a profile must leave alone.
std::vector<std::string> UnitSide(const CConfigurationModel& model,
                                  const CProfilePresenters& presenters) {
    std::vector<std::string> cells;
    for (int32_t row = 0; row < L::kMessageCount; ++row) {
        for (const int32_t column : {L::kSmsReceiverColumn, L::kSmsCurrentTextColumn,
                                     L::kSmsCurrentNumberColumn, L::kSmsCurrentCallColumn}) {
            cells.push_back(model.SmsTable().getData(row, column));
        }
    }
    for (int32_t row = 0; row <= model.GetPhoneBookSize(); ++row) {
        for (const int32_t column : {L::kPhoneBookLabelColumn, L::kPhoneBookCurrentNumberColumn}) {
            cells.push_back(model.PhoneBookTable().getData(row, column));
        }
    }
    for (IGuiHelper* presenter : presenters) {
        cells.push_back(presenter->GetValue(ValueKind::Current));
    }
    return cells;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const FuzzFile file(FuzzText(data, size));
    CConfigurationModel model;
    const CStoringPresenters presenters;
    const std::vector<std::string> before = UnitSide(model, presenters.Each());
    try {
        CProfileFile(file.Path()).Load(model, presenters.Each());
    } catch (const EInvalidProfile&) {
        // Refused before anything changed.
    }
    FUZZ_CHECK(UnitSide(model, presenters.Each()) == before);
    return 0;
}
