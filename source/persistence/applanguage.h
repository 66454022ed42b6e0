#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/observer.h"
#include "core/textsource.h"
#include "persistence/languageloader.h"

// The language the user sees. Every user-visible text is looked up here by key; observers
// (the controls' language controllers and the setting presenters) are told through a
// CLangLoadedEvent whenever a language has been loaded. GUI thread only.
class CAppLanguage : public IObservable, public ITextSource {
public:
    // Takes the loader over. A missing loader is a programming error: std::invalid_argument
    // naming the broken condition "langLoader != 0".
    explicit CAppLanguage(std::unique_ptr<ILanguageLoader> langLoader);

    // Loads the language and tells every attached observer, in attach order, before returning.
    void SetLanguage(const std::string& name);
    // Loads the language the user chose, as stored; when the language file cannot be used or
    // does not offer it, loads English instead (the file's, else the program's own texts) and
    // returns one English sentence (UTF-8) for the user that names the file and says why.
    // Empty when `name` was loaded.
    std::string SetStoredLanguage(const std::string& name);
    // The name passed to the last SetLanguage; empty before the first.
    const std::string& GetLanguage() const { return language; }

    std::string GetText(const std::string& key) const override;
    void GetLanguages(std::vector<std::string>& list) const;

private:
    std::unique_ptr<ILanguageLoader> langLoader;
    std::string language;
};

// Published by CAppLanguage after each load; valid only during IObserver::Update.
class CLangLoadedEvent : public IObsEvent {
public:
    explicit CLangLoadedEvent(CAppLanguage* appLanguage) : appLanguage(appLanguage) {}
    CAppLanguage* GetAppLanguage() const { return appLanguage; }

private:
    CAppLanguage* appLanguage;
};
