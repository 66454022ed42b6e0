#pragma once

#include <QString>
#include <QTranslator>
#include <array>
#include <map>
#include <memory>
#include <string>
#include <tuple>

// Texts of Qt's own dialogs that the catalogues of some languages lack (Debian's Swedish one
// was made for older Qt versions): the language key that gives them, Qt's context and Qt's
// English text.
inline constexpr std::array<std::tuple<const char*, const char*, const char*>, 4>
    kQtTextSupplements = {{
        {"QT_LOOK_IN", "QFileDialog", "Look in:"},
        {"QT_COMPUTER", "QFileSystemModel", "Computer"},
        {"QT_RECENT_PLACES", "QFileDialog", "Recent Places"},
        {"QT_CHOOSE", "QFileDialog", "&Choose"},
    }};

// Qt's own texts (the standard buttons Yes, No, OK and Cancel, the file dialogs, the edit
// boxes' context menus) in the language the user chose: the catalogue of the language's
// locale from Qt's translations folder (Debian: qt6-translations-l10n), "qtbase_<locale>" or,
// where a language has only the older single catalogue, "qt_<locale>". Texts that Qt 6 asks
// for under a newer context than an older catalogue knows them by (the standard buttons) are
// looked up under the older one too, and texts a catalogue lacks altogether can be supplied.
class CQtTranslations {
public:
    CQtTranslations();
    ~CQtTranslations();
    CQtTranslations(const CQtTranslations&) = delete;
    CQtTranslations& operator=(const CQtTranslations&) = delete;

    // Installs the catalogue of `locale` ("sv", "de_AT"), replacing the one installed before;
    // English, an empty locale or one without a catalogue leave Qt's own English. True when a
    // catalogue is installed.
    bool Apply(const QString& locale);
    // The catalogue file installed, empty when none is.
    QString InstalledFile() const;

    // Where the catalogues are looked for; Qt's translations folder unless set (tests).
    void SetFolder(const QString& folder) { this->folder = folder; }
    // Texts the catalogue lacks, by "context|English text"; used at the next Apply.
    void SetSupplement(std::map<std::string, QString> texts) { supplement = std::move(texts); }

private:
    class CBridgingTranslator;
    std::unique_ptr<CBridgingTranslator> translator;
    QString folder;
    std::map<std::string, QString> supplement;
};
