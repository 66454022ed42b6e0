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
    {"HelpEng", "Help (English)", "Sendibox Config Tool Manual ENG.pdf"},
    {"HelpSwe", "Help (Svenska)", "Sendibox Config Tool Manual SWE.pdf"},
    {"TroubleshootingEng", "Troubleshooting (English)", "Troubleshooting ENG.pdf"},
    {"TroubleshootingSwe", "Troubleshooting (Svenska)", "Troubleshooting SWE.pdf"},
}};

// The maker's web page, shown and opened by the link label of the main window.
inline constexpr std::string_view kMakerWebAddress = "https://www.sendibox.com";

// Hands a URL to whatever opens it; true when it was handed on.
using TOpenUrlFunction = std::function<bool(const QUrl& url)>;

// The desktop's "open" action for documents and web pages. The opening itself is a function
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

    // A web address; one without a scheme ("www.example.com") is taken as http.
    bool OpenAddress(std::string_view address) const;

private:
    TOpenUrlFunction openUrl;
};

// The main window's link to the maker's web page: the address in navy with a hand cursor; a
// click with the left button opens it.
class TWebLinkLabel : public QLabel {
    Q_OBJECT
public:
    TWebLinkLabel(QWidget* parent, CShellOpener opener,
                  std::string_view address = kMakerWebAddress);

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    CShellOpener opener;
    std::string address;
};
