#include "persistence/profilefile.h"

#include <cstddef>
#include <filesystem>
#include <fstream>
#include <utility>

#include "core/inifile.h"
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

}  // namespace

EInvalidProfile::EInvalidProfile(const std::string& fileName)
    : std::runtime_error(fileName + " is not a profile that can be read") {}

CProfileFile::CProfileFile(std::string fileName) : fileName(std::move(fileName)) {}

void CProfileFile::Save(int32_t choice, const CConfigurationModel& model,
                        const CProfilePresenters& presenters) const {
    const bool newValues = choice == kSaveNewValues;
    const int32_t textColumn = newValues ? L::kSmsNewTextColumn : L::kSmsCurrentTextColumn;
    const int32_t numberColumn = newValues ? L::kSmsNewNumberColumn : L::kSmsCurrentNumberColumn;
    const int32_t accessColumn =
        newValues ? L::kPhoneBookNewNumberColumn : L::kPhoneBookCurrentNumberColumn;
    const ValueKind kind = newValues ? ValueKind::New : ValueKind::Current;

    CIniFile ini(fileName);
    const TVTListData& sms = model.SmsTable();
    for (int32_t row = 0; row < L::kMessageCount; ++row) {
        const std::string key = Key(row);
        ini.WriteString(kSmsTextSection, key, sms.getData(row, textColumn));
        ini.WriteString(kSmsNumberSection, key, sms.getData(row, numberColumn));
        // The marks have no current side of their own in a profile.
        ini.WriteString(kSmsCallSection, key, sms.getData(row, L::kSmsNewCallColumn));
        ini.WriteString(kSmsDeleteSection, key, sms.getData(row, L::kSmsDeleteColumn));
    }

    const TVTListData& phoneBook = model.PhoneBookTable();
    for (int32_t row = 0; row <= model.GetPhoneBookSize(); ++row) {
        const std::string key = Key(row);
        const std::string number = phoneBook.getData(row, accessColumn);
        ini.WriteString(kPhoneBookNumberSection, key, number);
        ini.WriteString(kPhoneBookWriteSection, key,
                        newValues ? phoneBook.getData(row, L::kPhoneBookWriteColumn)
                                  : Mark(L::IsMarked(number)));
    }

    for (const CSettingKey& setting : kSettingKeys) {
        if (const IGuiHelper* presenter = presenters[setting.presenter]) {
            ini.WriteString(kPhoneBookNumberSection, Key(setting.row), presenter->GetValue(kind));
        }
    }
}

void CProfileFile::Load(CConfigurationModel& model, const CProfilePresenters& presenters) const {
    CheckLoadable();
    const CIniFile ini(fileName);

    TVTListData& sms = model.SmsTable();
    for (int32_t row = 0; row < L::kMessageCount; ++row) {
        const std::string key = Key(row);
        sms.setData(row, L::kSmsNewTextColumn, ini.ReadString(kSmsTextSection, key, ""));
        sms.setData(row, L::kSmsNewNumberColumn, ini.ReadString(kSmsNumberSection, key, ""));
        sms.setData(row, L::kSmsNewCallColumn, ini.ReadString(kSmsCallSection, key, ""));
        sms.setData(row, L::kSmsDeleteColumn, ini.ReadString(kSmsDeleteSection, key, ""));
    }
    model.ChooseNewCallMarks();

    TVTListData& phoneBook = model.PhoneBookTable();
    for (int32_t row = 0; row <= model.GetPhoneBookSize(); ++row) {
        const std::string key = Key(row);
        phoneBook.setData(row, L::kPhoneBookNewNumberColumn,
                          ini.ReadString(kPhoneBookNumberSection, key, ""));
        phoneBook.setData(row, L::kPhoneBookWriteColumn,
                          Mark(L::IsMarked(ini.ReadString(kPhoneBookWriteSection, key, ""))));
    }

    for (const CSettingKey& setting : kSettingKeys) {
        IGuiHelper* presenter = presenters[setting.presenter];
        if (presenter == nullptr) {
            continue;
        }
        const std::string key = Key(setting.row);
        std::string value =
            setting.presenter == kActiveTimeSlot
                ? ini.ReadString(kPhoneBookNumberSection, key, kActiveTimeDefault)
                : IntToStr(
                      ParseInt(ini.ReadString(kPhoneBookNumberSection, key, ""), kSettingDefault));
        // A profile is the user's choice: it is written to unit after unit, whatever each holds.
        presenter->ChooseNewValue(value);
    }
}

// Every key of a profile reads as empty from a file that cannot be read or holds no profile at
// all, so loading one would silently wipe the user's new values and report success.
void CProfileFile::CheckLoadable() const {
    namespace fs = std::filesystem;
    std::error_code error;
    const bool regular = fs::is_regular_file(fileName, error);
    const std::uintmax_t size = regular ? fs::file_size(fileName, error) : 0;
    if (!regular || error || size > kMaxProfileSize || !std::ifstream(fileName).is_open()) {
        throw EInvalidProfile(fileName);
    }
    const CIniFile ini(fileName);
    for (const char* section :
         {kSmsTextSection, kSmsNumberSection, kSmsCallSection, kSmsDeleteSection,
          kPhoneBookNumberSection, kPhoneBookWriteSection}) {
        if (!ini.ReadKeys(section).empty()) {
            return;
        }
    }
    throw EInvalidProfile(fileName);
}
