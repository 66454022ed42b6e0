#pragma once

#include <QString>
#include <QWidget>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "core/refobject.h"
#include "persistence/applanguage.h"
#include "persistence/languageloader.h"

// The presenters' item texts in two languages, Windows-1252 as in a language file. A language
// not listed here gives every key as its own text.
class CPresenterTexts : public ILanguageLoader {
public:
    void Load(const std::string& language) override {
        const auto found = Languages().find(language);
        texts = found != Languages().end() ? found->second : Texts{};
    }
    std::string GetText(const std::string& key) const override {
        const auto found = texts.find(key);
        return found != texts.end() ? found->second : key;
    }
    void GetLanguages(std::vector<std::string>& list) const override {
        list = {"English", "Svenska"};
    }

private:
    using Texts = std::map<std::string, std::string>;
    static const std::map<std::string, Texts>& Languages() {
        static const std::map<std::string, Texts> languages = {
            {"English",
             {{"TOGGLE", "Toggle"},
              {"NOT_IN_USE", "Not In Use"},
              {"RELAY1", "Relay 1"},
              {"RELAY2", "Relay 2"},
              {"BOTH_RELAYS", "Both Relays"},
              {"WHEN_ALARM_ACTIVATED", "When Alarm Activated"},
              {"ALWAYS", "Always"},
              {"OFF", "OFF"},
              {"ON", "ON"},
              {"DELAY", "Delay"},
              {"BLOCK", "Block"}}},
            {"Svenska",
             {{"TOGGLE", "V\xE4xla"},
              {"NOT_IN_USE", "Anv\xE4nds ej"},
              {"RELAY1", "Rel\xE4 1"},
              {"RELAY2", "Rel\xE4 2"},
              {"BOTH_RELAYS", "B\xE5\x64\x61 rel\xE4\x65rna"},
              {"WHEN_ALARM_ACTIVATED", "Vid larm"},
              {"ALWAYS", "Alltid"},
              {"OFF", "AV"},
              {"ON", "P\xC5"},
              {"DELAY", "F\xF6rdr\xF6jning"},
              {"BLOCK", "Blockering"}}}};
        return languages;
    }
    Texts texts;
};

// A window holding the setting controls, and the language object that the presenters are
// attached to as the main window attaches them (it then holds their only reference).
class PresenterTest : public ::testing::Test {
public:
    template <class T, class... Args>
    T* Attach(Args&&... args) {
        T* presenter = MakeRef<T>(std::forward<Args>(args)...).Detach();
        language->Attach(presenter);
        return presenter;
    }

protected:
    QWidget window;
    CRefPtr<CAppLanguage> language = MakeRef<CAppLanguage>(std::make_unique<CPresenterTexts>());
};

inline QString Utf8(const char* text) {
    return QString::fromUtf8(text);
}
