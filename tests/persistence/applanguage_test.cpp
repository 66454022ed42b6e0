#include "persistence/applanguage.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "core/refobject.h"
#include "persistence/languageloaderini.h"
#include "tempfolder.h"

namespace {

const std::string kTwoLanguages =
    "[Svenska]\r\n"
    "receiver=Mottagare\r\n"
    "TOGGLE=\r\n"
    "CALL=Ring\r\n"
    "ACCESS_NUMBERS=\" Beh\xF6riga nummer \"\r\n"
    "NEW_TEXT=   Ny text   \r\n"
    "CALL=Second\r\n"
    "\r\n"
    "[English]\r\n"
    "RECEIVER=Receiver\r\n"
    "DELETE=Delete\r\n";

using LanguageLoaderTest = TempFolderTest;

TEST_F(LanguageLoaderTest, LanguagesInFileOrderAndTextsOfTheLoadedOneOnly) {
    CLanguageLoaderIni loader(Put("languages.txt", kTwoLanguages));
    std::vector<std::string> list = {"left over"};
    loader.GetLanguages(list);
    EXPECT_EQ(list, (std::vector<std::string>{"Svenska", "English"}));

    loader.Load("English");
    EXPECT_EQ(loader.GetText("DELETE"), "Delete");
    loader.Load("svenska");
    const std::pair<const char*, const char*> cases[] = {
        {"Receiver", "Mottagare"},                   // written in lower case in the file
        {"toggle", "toggle"},                        // empty value shows the key as asked for
        {"DELETE", "DELETE"},                        // only in the language loaded before
        {"MISSING", "MISSING"},                      // in no language
        {"CALL", "Ring"},                            // the first of two lines counts
        {"ACCESS_NUMBERS", " Beh\xF6riga nummer "},  // quotes keep the blanks, bytes unchanged
        {"NEW_TEXT", "Ny text"},                     // unquoted blanks are lost
    };
    for (const auto& [key, expected] : cases) {
        EXPECT_EQ(loader.GetText(key), expected) << key;
    }
    loader.Load("Deutsch");
    EXPECT_EQ(loader.GetText("RECEIVER"), "RECEIVER");

    // A missing file offers no language and every key reads as itself.
    CLanguageLoaderIni missing(PathOf("missing.txt"));
    missing.GetLanguages(list);
    missing.Load("English");
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(missing.GetText("RECEIVER"), "RECEIVER");
}

// Logs the language and a text as each observer sees them when told of a load.
class RecordingObserver : public IObserver {
public:
    RecordingObserver(std::vector<std::string>& log, std::string name)
        : log(log), name(std::move(name)) {}
    ~RecordingObserver() override { log.push_back(name + ":gone"); }
    void Update(IObsEvent* event) override {
        CAppLanguage* language = dynamic_cast<CLangLoadedEvent&>(*event).GetAppLanguage();
        log.push_back(name + ":" + language->GetLanguage() + ":" + language->GetText("RECEIVER"));
    }

private:
    std::vector<std::string>& log;
    std::string name;
};

TEST_F(LanguageLoaderTest, SetLanguageLoadsThenTellsObserversInAttachOrder) {
    std::vector<std::string> log;
    {
        auto language = MakeRef<CAppLanguage>(
            std::make_unique<CLanguageLoaderIni>(Put("languages.txt", kTwoLanguages)));
        language->Attach(new RecordingObserver(log, "a"));
        language->Attach(new RecordingObserver(log, "b"));
        language->SetLanguage("English");
        language->SetLanguage("Klingon");
        EXPECT_EQ(language->GetLanguage(), "Klingon");
    }
    // The manager held the observers' only references.
    EXPECT_EQ(log, (std::vector<std::string>{"a:English:Receiver", "b:English:Receiver",
                                             "a:Klingon:RECEIVER", "b:Klingon:RECEIVER", "a:gone",
                                             "b:gone"}));
    EXPECT_THROW(CAppLanguage(nullptr), std::invalid_argument);
}

}  // namespace
