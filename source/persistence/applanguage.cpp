#include "persistence/applanguage.h"

#include <stdexcept>
#include <utility>

#include "core/refobject.h"
#include "persistence/builtinlanguage.h"

CAppLanguage::CAppLanguage(std::unique_ptr<ILanguageLoader> loader)
    : langLoader(std::move(loader)) {
    if (!langLoader) {
        throw std::invalid_argument(
            "Assertion failed: langLoader != 0, file source/persistence/applanguage.cpp");
    }
}

void CAppLanguage::SetLanguage(const std::string& name) {
    langLoader->Load(name);
    language = name;
    const CRefPtr<CLangLoadedEvent> event = MakeRef<CLangLoadedEvent>(this);
    Notify(event.get());
}

std::string CAppLanguage::SetStoredLanguage(const std::string& name) {
    const std::string problem = langLoader->Problem(name);
    SetLanguage(problem.empty() ? name : kFallbackLanguage);
    return problem.empty() ? problem : problem + " English is shown instead.";
}

std::string CAppLanguage::GetText(const std::string& key) const {
    return langLoader->GetText(key);
}

void CAppLanguage::GetLanguages(std::vector<std::string>& list) const {
    langLoader->GetLanguages(list);
}
