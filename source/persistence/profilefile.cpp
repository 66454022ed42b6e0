#include "persistence/profilefile.h"

#include <cstddef>
#include <memory>
#include <utility>
#include <vector>

#include "core/inifile.h"
#include "core/initext.h"
#include "core/parseint.h"
#include "model/configurationmodel.h"
#include "model/guihelper.h"
#include "model/unitlayout.h"

namespace {

using L = CUnitLayout;

// Slots of CProfilePresenters.
enum EPresenterSlot : std::size_t {
    kActiveTimeSlot,
    kActiveRelaySlot,
    kSmsAckSlot,
    kAccessControlSlot,
    kInputBehaviourSlot,
    kFirstDelaySlot,
};

struct CSettingKey {
    std::size_t presenter;
    int32_t row;  // the key in "cpb num": the phonebook-table row of the setting's entry
};

// In the order a save writes them.
constexpr std::array<CSettingKey, 11> kSettingKeys{{
    {kActiveTimeSlot, L::kActiveTimePosition - 1},
    {kActiveRelaySlot, L::kActiveRelayPosition - 1},
    {kSmsAckSlot, L::kSmsAckPosition - 1},
    {kInputBehaviourSlot, L::kInputBehaviourPosition - 1},
    {kAccessControlSlot, L::kAccessControlPosition - 1},
    {kFirstDelaySlot + 0, L::kInput1DelayPosition - 1},
    {kFirstDelaySlot + 1, L::kInput1DelayPosition - 2},
    {kFirstDelaySlot + 2, L::kInput1DelayPosition - 3},
    {kFirstDelaySlot + 3, L::kInput1DelayPosition - 4},
    {kFirstDelaySlot + 4, L::kInput1DelayPosition - 5},
    {kFirstDelaySlot + 5, L::kInput1DelayPosition - 6},
}};

// The active time reaches its presenter as the file has it; the presenter maps text that is no
// number to "toggle" itself.
constexpr const char* kActiveTimeDefault = "0";
constexpr int32_t kSettingDefault = 0;

std::string Key(int32_t row) {
    return IntToStr(row);
}

std::string Mark(bool set) {
    return set ? L::kMark : "";
}

constexpr CIniLimits kProfileLimits{CProfileFile::kMaxProfileSize,
                                    CProfileFile::kMaxProfileSections};

}  // namespace

EInvalidProfile::EInvalidProfile(const std::string& fileName, const std::string& reason)
    : std::runtime_error(fileName + " is not a profile that can be read: it " + reason) {}

CProfileFile::CProfileFile(std::string fileName) : fileName(std::move(fileName)) {}

void CProfileFile::Save(int32_t choice, const CConfigurationModel& model,
                        const CProfilePresenters& presenters) const {
    const bool newValues = choice == kSaveNewValues;
    const int32_t textColumn = newValues ? L::kSmsNewTextColumn : L::kSmsCurrentTextColumn;
    const int32_t numberColumn = newValues ? L::kSmsNewNumberColumn : L::kSmsCurrentNumberColumn;
    const int32_t accessColumn =
        newValues ? L::kPhoneBookNewNumberColumn : L::kPhoneBookCurrentNumberColumn;
    const ValueKind kind = newValues ? ValueKind::New : ValueKind::Current;

    std::vector<CIniEntry> entries;
    const auto put = [&entries](const char* section, const std::string& key, std::string value) {
        entries.push_back({section, key, std::move(value)});
    };
    const TVTListData& sms = model.SmsTable();
    for (int32_t row = 0; row < L::kMessageCount; ++row) {
        const std::string key = Key(row);
        put(kSmsTextSection, key, sms.getData(row, textColumn));
        put(kSmsNumberSection, key, sms.getData(row, numberColumn));
        // The marks have no current side of their own in a profile.
        put(kSmsCallSection, key, sms.getData(row, L::kSmsNewCallColumn));
        put(kSmsDeleteSection, key, sms.getData(row, L::kSmsDeleteColumn));
    }

    const TVTListData& phoneBook = model.PhoneBookTable();
    for (int32_t row = 0; row <= model.GetPhoneBookSize(); ++row) {
        const std::string key = Key(row);
        const std::string number = phoneBook.getData(row, accessColumn);
        put(kPhoneBookNumberSection, key, number);
        put(kPhoneBookWriteSection, key,
            newValues ? phoneBook.getData(row, L::kPhoneBookWriteColumn)
                      : Mark(L::IsMarked(number)));
    }

    for (const CSettingKey& setting : kSettingKeys) {
        if (const IGuiHelper* presenter = presenters[setting.presenter]) {
            put(kPhoneBookNumberSection, Key(setting.row), presenter->GetValue(kind));
        }
    }
    CIniFile(fileName, kProfileLimits).WriteStrings(entries);
}

void CProfileFile::Load(CConfigurationModel& model, const CProfilePresenters& presenters) const {
    const std::shared_ptr<const CIniText> profile = LoadableContents();
    const auto read = [&profile](const char* section, const std::string& key, const char* absent) {
        return profile->Value(section, key).value_or(absent);
    };

    TVTListData& sms = model.SmsTable();
    for (int32_t row = 0; row < L::kMessageCount; ++row) {
        const std::string key = Key(row);
        sms.setData(row, L::kSmsNewTextColumn, read(kSmsTextSection, key, ""));
        sms.setData(row, L::kSmsNewNumberColumn, read(kSmsNumberSection, key, ""));
        sms.setData(row, L::kSmsNewCallColumn, read(kSmsCallSection, key, ""));
        sms.setData(row, L::kSmsDeleteColumn, read(kSmsDeleteSection, key, ""));
    }
    model.ChooseNewCallMarks();

    TVTListData& phoneBook = model.PhoneBookTable();
    for (int32_t row = 0; row <= model.GetPhoneBookSize(); ++row) {
        const std::string key = Key(row);
        phoneBook.setData(row, L::kPhoneBookNewNumberColumn,
                          read(kPhoneBookNumberSection, key, ""));
        phoneBook.setData(row, L::kPhoneBookWriteColumn,
                          Mark(L::IsMarked(read(kPhoneBookWriteSection, key, ""))));
    }

    for (const CSettingKey& setting : kSettingKeys) {
        IGuiHelper* presenter = presenters[setting.presenter];
        if (presenter == nullptr) {
            continue;
        }
        const std::string key = Key(setting.row);
        std::string value =
            setting.presenter == kActiveTimeSlot
                ? read(kPhoneBookNumberSection, key, kActiveTimeDefault)
                : IntToStr(ParseInt(read(kPhoneBookNumberSection, key, ""), kSettingDefault));
        // A profile is the user's choice: it is written to unit after unit, whatever each holds.
        presenter->ChooseNewValue(value);
    }
}

// Every key of a profile reads as empty from a file that cannot be read or holds no profile at
// all, so loading one would silently wipe the user's new values and report success. The load
// reads one version of the file, however it changes meanwhile.
std::shared_ptr<const CIniText> CProfileFile::LoadableContents() const {
    const CIniFile ini(fileName, kProfileLimits);
    std::shared_ptr<const CIniText> profile = ini.Snapshot();
    if (!profile) {
        throw EInvalidProfile(fileName, ini.Problem());
    }
    for (const char* section :
         {kSmsTextSection, kSmsNumberSection, kSmsCallSection, kSmsDeleteSection,
          kPhoneBookNumberSection, kPhoneBookWriteSection}) {
        if (!profile->Keys(section).empty()) {
            return profile;
        }
    }
    throw EInvalidProfile(fileName, "holds none of a profile's sections");
}
