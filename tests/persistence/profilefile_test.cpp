#include "persistence/profilefile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/inifile.h"
#include "core/parseint.h"
#include "core/tempfolder.h"
#include "model/configurationmodel.h"
#include "model/storingpresenters.h"
#include "model/unitlayout.h"

namespace {

namespace fs = std::filesystem;
using L = CUnitLayout;
using Strings = std::vector<std::string>;

// Every cell of both tables, the SMS rows first, the phonebook rows 0 to 250 after them.
std::vector<Strings> Snapshot(const CConfigurationModel& model) {
    std::vector<Strings> cells;
    for (int32_t row = 0; row < L::kMessageCount; ++row) {
        cells.emplace_back();
        for (int32_t column = 0; column < L::kSmsColumnCount; ++column) {
            cells.back().push_back(model.SmsTable().getData(row, column));
        }
    }
    for (int32_t row = 0; row <= 250; ++row) {
        cells.emplace_back();
        for (int32_t column = 0; column < L::kPhoneBookColumnCount; ++column) {
            cells.back().push_back(model.PhoneBookTable().getData(row, column));
        }
    }
    return cells;
}

// "cpb num" keys of the settings, in presenter order.
const Strings kSettingKeys = {"68", "67", "66", "63", "65", "62", "61", "60", "59", "58", "57"};

class ProfileFileTest : public TempFolderTest {
protected:
    // A distinct value in every cell and presenter value, current and new side alike.
    void Fill(CConfigurationModel& target) {
        TVTListData& sms = target.SmsTable();
        for (int32_t k = 0; k < L::kMessageCount; ++k) {
            const std::string n = IntToStr(k);
            sms.setData(k, L::kSmsCurrentTextColumn, "current " + n);
            sms.setData(k, L::kSmsCurrentNumberColumn, k % 3 == 0 ? "" : "+4610" + n);
            sms.setData(k, L::kSmsCurrentCallColumn, k % 2 == 0 ? "X" : "");
            sms.setData(k, L::kSmsNewTextColumn, "new \xE9 " + n);
            sms.setData(k, L::kSmsNewNumberColumn, k % 4 == 0 ? "" : "+4620" + n);
            sms.setData(k, L::kSmsNewCallColumn, k % 3 == 1 ? "X" : "");
            sms.setData(k, L::kSmsDeleteColumn, k % 5 == 2 ? "X" : "");
        }
        TVTListData& phoneBook = target.PhoneBookTable();
        for (int32_t r = 0; r <= target.GetPhoneBookSize(); ++r) {
            const std::string n = IntToStr(r);
            phoneBook.setData(r, L::kPhoneBookCurrentNumberColumn, r % 4 == 1 ? "" : "+4630" + n);
            phoneBook.setData(r, L::kPhoneBookNewNumberColumn, r % 3 == 2 ? "" : "+4640" + n);
            phoneBook.setData(r, L::kPhoneBookWriteColumn, r % 2 == 0 ? "X" : "");
        }
        for (std::size_t i = 0; i < CStoringPresenters::kCount; ++i) {
            presenters[i].StoreValue(ValueKind::Current, IntToStr(static_cast<int32_t>(100 + i)));
            presenters[i].StoreValue(ValueKind::New, IntToStr(static_cast<int32_t>(10 + i)));
        }
    }

    CConfigurationModel model;
    CStoringPresenters presenters;
};

TEST_F(ProfileFileTest, SavedNewValuesLoadBackOntoTheNewSideOnlyAndUpToTheCurrentSize) {
    Fill(model);
    // The settings travel in their presenters; their rows' new numbers are overwritten.
    for (const std::string& key : kSettingKeys) {
        model.PhoneBookTable().setData(ParseInt(key, -1), L::kPhoneBookNewNumberColumn, "999");
    }
    model.PhoneBookTable().setData(L::kCallMaskPosition - 1, L::kPhoneBookNewNumberColumn, "85");
    const std::string path = PathOf("new.pof");
    CProfileFile(path).Save(CProfileFile::kSaveNewValues, model, presenters.Each());
    // A new file, in Windows-1252 with the sections in the order Windows tools write them.
    EXPECT_EQ(Contents(path).rfind("[cmg text]\r\n0=new \xE9 0\r\n", 0), 0u);
    EXPECT_EQ(CIniFile(path).ReadSections(),
              (Strings{"cmg text", "cmg num", "cmg call", "cmg del", "cpb num", "cpb write"}));
    EXPECT_EQ(CIniFile(path).ReadKeys("cpb num").size(), 251u);  // 0 to the size itself

    auto expected = Snapshot(model);
    for (std::size_t i = 0; i < kSettingKeys.size(); ++i) {
        expected[L::kMessageCount + ParseInt(kSettingKeys[i], -1)][L::kPhoneBookNewNumberColumn] =
            IntToStr(static_cast<int32_t>(10 + i));
    }
    const auto newValues = presenters.Values(ValueKind::New);
    const auto currentValues = presenters.Values(ValueKind::Current);
    model.ClearNewValues();
    presenters.SetAll(ValueKind::New, "");
    CProfileFile(path).Load(model, presenters.Each());
    EXPECT_EQ(Snapshot(model), expected);
    EXPECT_EQ(presenters.Values(ValueKind::New), newValues);
    EXPECT_EQ(presenters.Values(ValueKind::Current), currentValues);

    // A profile of a larger store loads into a smaller one up to its size.
    CConfigurationModel small;
    small.SetPhoneBookSize(100);
    small.PhoneBookTable().setData(101, L::kPhoneBookNewNumberColumn, "keep");
    CProfileFile(path).Load(small, presenters.Each());
    for (int32_t r = 0; r <= 100; ++r) {
        for (const int32_t column : {L::kPhoneBookNewNumberColumn, L::kPhoneBookWriteColumn}) {
            ASSERT_EQ(small.PhoneBookTable().getData(r, column),
                      model.PhoneBookTable().getData(r, column))
                << r;
        }
    }
    EXPECT_EQ(small.PhoneBookTable().getData(101, L::kPhoneBookNewNumberColumn), "keep");
    EXPECT_EQ(small.PhoneBookTable().getData(101, L::kPhoneBookWriteColumn), "");
}

TEST_F(ProfileFileTest, SavingOverAFileKeepsWhatTheSaveDoesNotWrite) {
    const std::string path = Put("old.pof",
                                 "; written elsewhere\n[cpb num]\n300=+46999\n5=old\n"
                                 "[Other]\nmine=1\n[CPB WRITE]\n300=X\n");
    model.PhoneBookTable().setData(5, L::kPhoneBookNewNumberColumn, "+465");
    CProfileFile(path).Save(CProfileFile::kSaveNewValues, model, presenters.Each());
    const std::string content = Contents(path);
    EXPECT_EQ(content.find('\r'), std::string::npos);  // the file's own line ending
    EXPECT_EQ(content.rfind("; written elsewhere\n[cpb num]\n300=+46999\n5=+465\n0=\n", 0), 0u);
    EXPECT_EQ(CIniFile(path).ReadString("Other", "mine", ""), "1");
    EXPECT_EQ(CIniFile(path).ReadString("cpb write", "300", ""), "X");
}

// Sections in any letter case, rows beyond the unit's ignored, any text in "cpb write" a mark.
// Line ends, blanks and quotes are the INI reader's and are tested with it.
TEST_F(ProfileFileTest, LoadReadsWindowsFiles) {
    const std::string path = Put("windows.pof",
                                 "[Other]\n0=ignored\n"
                                 "[cpb write]\n2=X\n0=1\n1=\n3= yes \n"
                                 "[CMG Text]\n27=last\n0=text\n99=extra\n"
                                 "[cmg num]\n0=+46701\n[cmg call]\n0=X\n[cmg del]\n1=X\n"
                                 "[cpb num]\n0=+461\n64=85\n250=+46250\n");
    model.SmsTable().setData(5, L::kSmsNewTextColumn, "replaced");
    CProfileFile(path).Load(model, presenters.Each());
    const TVTListData& sms = model.SmsTable();
    const TVTListData& book = model.PhoneBookTable();
    const int32_t number = L::kPhoneBookNewNumberColumn;
    const int32_t mark = L::kPhoneBookWriteColumn;
    EXPECT_EQ(
        (Strings{sms.getData(0, L::kSmsNewTextColumn), sms.getData(5, L::kSmsNewTextColumn),
                 sms.getData(27, L::kSmsNewTextColumn), sms.getData(0, L::kSmsNewNumberColumn),
                 sms.getData(0, L::kSmsNewCallColumn), sms.getData(1, L::kSmsDeleteColumn),
                 book.getData(0, number), book.getData(64, number), book.getData(250, number),
                 book.getData(0, mark), book.getData(1, mark), book.getData(2, mark),
                 book.getData(3, mark), book.getData(4, mark)}),
        (Strings{"text", "", "last", "+46701", "X", "X", "+461", "85", "+46250", "X", "", "X", "X",
                 ""}));
    EXPECT_EQ(sms.rowCount(), L::kMessageCount);
}

TEST_F(ProfileFileTest, SettingsLoadAsIntegersWithZeroForAnythingElse) {
    struct Case {
        std::string key;
        std::optional<std::string> stored;  // nothing: the key is missing
        std::string passed;
    };
    const std::vector<Case> cases = {
        // The active time goes to its presenter as text, "0" when missing.
        {"68", "abc", "abc"}, {"68", std::nullopt, "0"}, {"67", " 3 ", "3"},
        {"66", "0x1", "1"},   {"65", "abc", "0"},        {"63", "\"1\"", "1"},
        {"62", "$0C", "12"},  {"61", "-5", "-5"},        {"60", "", "0"},
        {"59", "7x", "0"},    {"57", "0254", "254"},     {"57", std::nullopt, "0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key + " " + c.stored.value_or("<missing>"));
        std::string content = "[cpb write]\n0=X\n[cpb num]\n";
        if (c.stored) {
            content += c.key + "=" + *c.stored + "\n";
        }
        presenters.SetAll(ValueKind::New, "<untouched>");
        presenters.SetAll(ValueKind::Current, "7");
        CProfileFile(Put("settings.pof", content)).Load(model, presenters.Each());
        for (std::size_t i = 0; i < kSettingKeys.size(); ++i) {
            EXPECT_EQ(presenters[i].GetValue(ValueKind::New),
                      kSettingKeys[i] == c.key ? c.passed : "0")
                << kSettingKeys[i];
            EXPECT_EQ(presenters[i].GetValue(ValueKind::Current), "7");
        }
    }
}

TEST_F(ProfileFileTest, FileThatIsNoProfileIsRefusedBeforeAnythingChanges) {
    fs::create_directory(folder / "folder.pof");
    const std::string huge = Put("huge.pof", "[cmg text]\n0=x\n");
    fs::resize_file(huge, CProfileFile::kMaxProfileSize + 1);
    const std::string none = "holds none of a profile's sections";
    const std::vector<std::pair<std::string, std::string>> files = {
        {PathOf("missing.pof"), "does not exist"},
        {PathOf("folder.pof"), "is a folder"},
        {Put("binary.pof", std::string("\x89PNG\r\n\x1A\n\0\0\0\rIHDR[cmg text]\n0=x", 30)),
         "is not a text file"},
        {Put("settings.txt", "[Settings]\nLANGUAGE=English\n"), none},
        {Put("sections-only.pof", "[cmg text]\n[cpb num]\n"), none},
        {huge, "is larger than 4 MiB"},
    };
    Fill(model);
    const auto before = Snapshot(model);
    const auto newValues = presenters.Values(ValueKind::New);
    for (const auto& [path, reason] : files) {
        try {
            CProfileFile(path).Load(model, presenters.Each());
            ADD_FAILURE() << "loaded " << path;
        } catch (const EInvalidProfile& error) {
            EXPECT_EQ(error.what(), path + " is not a profile that can be read: it " + reason);
        }
    }
    EXPECT_EQ(Snapshot(model), before);
    EXPECT_EQ(presenters.Values(ValueKind::New), newValues);

    // One profile section with one key is enough.
    CProfileFile(Put("minimal.pof", "[cpb write]\n3=1\n")).Load(model, presenters.Each());
    EXPECT_EQ(model.PhoneBookTable().getData(3, L::kPhoneBookWriteColumn), "X");
    EXPECT_EQ(model.SmsTable().getData(1, L::kSmsNewTextColumn), "");
}

TEST_F(ProfileFileTest, FailureWhileApplyingStopsTheLoadAndKeepsWhatWasApplied) {
    presenters.SetAll(ValueKind::New, "old");
    presenters[3].fail = true;  // access control, "63", after "68" to "65"
    const std::string path =
        Put("p.pof", "[cmg text]\n0=text\n[cpb num]\n0=+461\n68=9\n67=2\n66=1\n65=1\n63=1\n62=4\n");
    EXPECT_THROW(CProfileFile(path).Load(model, presenters.Each()), std::runtime_error);
    EXPECT_EQ(model.SmsTable().getData(0, L::kSmsNewTextColumn), "text");
    EXPECT_EQ(model.PhoneBookTable().getData(0, L::kPhoneBookNewNumberColumn), "+461");
    EXPECT_EQ(presenters.Values(ValueKind::New),
              (Strings{"9", "2", "1", "old", "1", "old", "old", "old", "old", "old", "old"}));
}

}  // namespace
