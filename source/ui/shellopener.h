#pragma once

#include <QLabel>
#include <QUrl>
#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class QMouseEvent;

// One entry of the Help menu: its control name, its caption (the same in every language) and
// the document it opens from the program's data folder.
struct THelpDocument {
    std::string_view menuItem;
    std::string_view caption;
    std::string_view fileName;
};

inline constexpr std::array<THelpDocument, 4> kHelpDocuments = {{
    {"HelpEng", "Help (English)", "manual-en.pdf"},
    {"HelpSwe", "Help (Svenska)", "manual-sv.pdf"},
    {"TroubleshootingEng", "Troubleshooting (English)", "troubleshooting-en.pdf"},
    {"TroubleshootingSwe", "Troubleshooting (Svenska)", "troubleshooting-sv.pdf"},
}};

// The tool has no web site of its own; the link label of the main window leads to the user
// manual instead, under this caption (the same in every language, like the Help menu's).
inline constexpr std::string_view kUserManualCaption = "Sendibox Config Tool Manual";

// The user manual for a language name of the language file: the Swedish manual for "Svenska",
// the English one for every other language.
std::string_view UserManualFor(std::string_view languageName);

// Hands a URL to whatever opens it; true when it was handed on.
using TOpenUrlFunction = std::function<bool(const QUrl& url)>;

// The desktop's "open" action for documents. The opening itself is a function
// given at construction, so tests can watch what would be opened without launching anything.
// Nothing is reported to the user: a missing document is the desktop's to report or ignore.
class CShellOpener {
public:
    // Opens through QDesktopServices::openUrl.
    CShellOpener();
    explicit CShellOpener(TOpenUrlFunction openUrl);

    // Opens `fileName` from the first of `folders` that holds it; from the first folder when
    // none does, so the desktop sees the file the user asked for and reports it missing.
    // Folders are file-system paths, with or without their trailing separator.
    bool OpenDocument(std::string_view fileName, const std::vector<std::string>& folders) const;
    // Opens a folder in the desktop's file manager (the records' folder).
    bool OpenFolder(const std::string& folder) const;

private:
    TOpenUrlFunction openUrl;
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

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    CShellOpener opener;
    std::vector<std::string> folders;
    TLanguageNameFunction languageName;
};
