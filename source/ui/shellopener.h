#pragma once

#include <QLabel>
#include <QUrl>
#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class QMouseEvent;

// One entry of the Help menu: its control name, its English caption (until a language gives
// it the key's text), the language key of its caption and the document it opens from the
// program's data folder.
struct THelpDocument {
    std::string_view menuItem;
    std::string_view caption;
    std::string_view languageKey;
    std::string_view fileName;
};

inline constexpr std::array<THelpDocument, 4> kHelpDocuments = {{
    {"HelpEng", "Help (English)", "HELP_MANUAL_ENGLISH", "manual-en.pdf"},
    {"HelpSwe", "Help (Svenska)", "HELP_MANUAL_SWEDISH", "manual-sv.pdf"},
    {"TroubleshootingEng", "Troubleshooting (English)", "HELP_TROUBLESHOOTING_ENGLISH",
     "troubleshooting-en.pdf"},
    {"TroubleshootingSwe", "Troubleshooting (Svenska)", "HELP_TROUBLESHOOTING_SWEDISH",
     "troubleshooting-sv.pdf"},
}};

// The tool has no web site of its own; the link label of the main window leads to the user
// manual instead, under this caption until a language gives it the text of "USER_MANUAL".
inline constexpr std::string_view kUserManualCaption = "Sendibox Config Tool Manual";

// The user manual for a language name of the language file: the Swedish manual for "Svenska",
// the English one for every other language.
std::string_view UserManualFor(std::string_view languageName);

// Hands a URL to whatever opens it; true when it was handed on.
using TOpenUrlFunction = std::function<bool(const QUrl& url)>;
// Says once, maybe later, whether what a URL names was opened.
using TOpenedFunction = std::function<void(bool opened)>;
// Hands a URL on and reports through `done` whether it was opened.
using TOpenUrlReportingFunction = std::function<void(const QUrl& url, TOpenedFunction done)>;
// Told when a document could not be shown: the path it has (or would have), and whether the
// file is there at all.
using TNotOpenedFunction = std::function<void(const std::string& path, bool exists)>;

// The desktop's "open" action for documents. The opening itself is a function
// given at construction, so tests can watch what would be opened without launching anything.
class CShellOpener {
public:
    // Opens a file through the desktop's xdg-open and learns from it whether a program took
    // the file; anything else, or without xdg-open, through QDesktopServices::openUrl.
    CShellOpener();
    explicit CShellOpener(TOpenUrlFunction openUrl);
    static CShellOpener Reporting(TOpenUrlReportingFunction openUrl);

    // Opens `fileName` from the first of `folders` that holds it. Without `notOpened` a
    // document found nowhere is asked for in the first folder, so the desktop sees the file the
    // user asked for and reports it missing; with it, `notOpened` is told instead, and also
    // when no program could open the file. Folders are file-system paths, with or without
    // their trailing separator. True when the document was handed on.
    bool OpenDocument(std::string_view fileName, const std::vector<std::string>& folders,
                      const TNotOpenedFunction& notOpened = {}) const;
    // Opens a folder in the desktop's file manager (the records' folder).
    bool OpenFolder(const std::string& folder) const;

private:
    TOpenUrlReportingFunction openUrl;
};

// Names the window's current language when asked; empty when there is none yet.
using TLanguageNameFunction = std::function<std::string()>;

// The main window's link label: the user manual's caption in navy with a hand cursor; a click
// with the left button opens the manual that suits the current language from the data folders,
// the way the Help menu opens its documents.
class TWebLinkLabel : public QLabel {
    Q_OBJECT
public:
    // `folders`: the data folders searched for the manual; when empty, those of this program
    // (DataFolders of the application's folder). `languageName` is asked at each click, so it
    // may be given before the language exists; without it the English manual is opened.
    TWebLinkLabel(QWidget* parent, CShellOpener opener, std::vector<std::string> folders = {},
                  TLanguageNameFunction languageName = {});

    // The manual a click would open now.
    std::string_view ManualFileName() const;
    // Told when a click's manual cannot be shown (see CShellOpener::OpenDocument).
    void SetNotOpened(TNotOpenedFunction function) { notOpened = std::move(function); }

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    CShellOpener opener;
    std::vector<std::string> folders;
    TLanguageNameFunction languageName;
    TNotOpenedFunction notOpened;
};
