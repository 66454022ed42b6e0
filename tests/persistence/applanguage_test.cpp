#include "persistence/applanguage.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
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
    "TOGGLE=Toggle\r\n"
    "DELETE=Delete\r\n";

class LanguageLoaderTest : public TempFolderTest {
protected:
    std::string WriteLanguages() { return Put("languages.txt", kTwoLanguages); }
};

TEST_F(LanguageLoaderTest, LanguagesAreTheSectionsInFileOrder) {
    CLanguageLoaderIni loader(WriteLanguages());
    std::vector<std::string> list = {"left over"};
    loader.GetLanguages(list);
    EXPECT_EQ(list, (std::vector<std::string>{"Svenska", "English"}));
}

TEST_F(LanguageLoaderTest, LookupOfTheLoadedLanguage) {
    CLanguageLoaderIni loader(WriteLanguages());
    loader.Load("svenska");

    struct Case {
        const char* key;
        const char* expected;
    };
    const Case cases[] = {
        {"RECEIVER", "Mottagare"},                   // written in lower case in the file
        {"Receiver", "Mottagare"},                   // any case finds it
        {"TOGGLE", "TOGGLE"},                        // empty value shows the key
        {"toggle", "toggle"},                        // ... as asked for
        {"DELETE", "DELETE"},                        // only in the other language
        {"MISSING", "MISSING"},                      // in no language
        {"CALL", "Ring"},                            // the first of two lines counts
        {"ACCESS_NUMBERS", " Beh\xF6riga nummer "},  // quotes keep the blanks, bytes unchanged
        {"NEW_TEXT", "Ny text"},                     // unquoted blanks are lost
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        EXPECT_EQ(loader.GetText(c.key), c.expected);
    }
}

TEST_F(LanguageLoaderTest, LoadReplacesTheTextsOfTheLanguageBefore) {
    CLanguageLoaderIni loader(WriteLanguages());
    loader.Load("English");
    EXPECT_EQ(loader.GetText("DELETE"), "Delete");
    loader.Load("Svenska");
    EXPECT_EQ(loader.GetText("DELETE"), "DELETE");
    EXPECT_EQ(loader.GetText("RECEIVER"), "Mottagare");
    loader.Load("Deutsch");
    EXPECT_EQ(loader.GetText("RECEIVER"), "RECEIVER");
}

TEST_F(LanguageLoaderTest, MissingFileOffersNoLanguageAndEveryKeyReadsAsItself) {
    CLanguageLoaderIni loader(PathOf("languages.txt"));
    std::vector<std::string> list = {"left over"};
    loader.GetLanguages(list);
    loader.Load("English");
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(loader.GetText("RECEIVER"), "RECEIVER");
}

// Records what it saw, and whether it is still alive, for the checks of the language manager.
struct Seen {
    std::vector<std::string> log;
    int destroyed = 0;
};

class RecordingObserver : public IObserver {
public:
    RecordingObserver(Seen& seen, std::string name) : seen(seen), name(std::move(name)) {}
    ~RecordingObserver() override { ++seen.destroyed; }
    void Update(IObsEvent* event) override {
        auto* loaded = dynamic_cast<CLangLoadedEvent*>(event);
        if (loaded == nullptr) {
            seen.log.push_back(name + ":other");
            return;
        }
        CAppLanguage* language = loaded->GetAppLanguage();
        seen.log.push_back(name + ":" + language->GetLanguage() + ":" +
                           language->GetText("RECEIVER"));
    }

private:
    Seen& seen;
    std::string name;
};

TEST_F(LanguageLoaderTest, SetLanguageLoadsThenTellsObserversInAttachOrder) {
    Seen seen;
    {
        auto language =
            MakeRef<CAppLanguage>(std::make_unique<CLanguageLoaderIni>(WriteLanguages()));
        EXPECT_EQ(language->GetLanguage(), "");
        EXPECT_EQ(language->GetText("RECEIVER"), "RECEIVER");

        language->Attach(new RecordingObserver(seen, "a"));
        language->Attach(new RecordingObserver(seen, "b"));
        language->SetLanguage("English");
        language->SetLanguage("Svenska");
        language->SetLanguage("Klingon");

        EXPECT_EQ(seen.log, (std::vector<std::string>{"a:English:Receiver", "b:English:Receiver",
                                                      "a:Svenska:Mottagare", "b:Svenska:Mottagare",
                                                      "a:Klingon:RECEIVER", "b:Klingon:RECEIVER"}));
        EXPECT_EQ(language->GetLanguage(), "Klingon");

        std::vector<std::string> list;
        language->GetLanguages(list);
        EXPECT_EQ(list, (std::vector<std::string>{"Svenska", "English"}));

        // Other events pass by the language manager's observers unharmed.
        seen.log.clear();
        const auto other = MakeRef<IObsEvent>();
        language->Notify(other.get());
        EXPECT_EQ(seen.log, (std::vector<std::string>{"a:other", "b:other"}));
        EXPECT_EQ(seen.destroyed, 0);
    }
    // The manager held the observers' only references.
    EXPECT_EQ(seen.destroyed, 2);
}

TEST(AppLanguage, ALoaderIsRequired) {
    try {
        CAppLanguage language(nullptr);
        FAIL() << "constructed without a loader";
    } catch (const std::invalid_argument& error) {
        EXPECT_NE(std::string(error.what()).find("langLoader != 0"), std::string::npos);
    }
}

}  // namespace
