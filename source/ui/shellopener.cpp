#include "ui/shellopener.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFile>
#include <QMouseEvent>
#include <QPalette>
#include <filesystem>
#include <utility>

#include "persistence/configfolder.h"

namespace {

bool IsFile(const std::string& path) {
    std::error_code ignored;
    return std::filesystem::is_regular_file(path, ignored);
}

}  // namespace

CShellOpener::CShellOpener()
    : openUrl([](const QUrl& url) { return QDesktopServices::openUrl(url); }) {}

CShellOpener::CShellOpener(TOpenUrlFunction openUrl) : openUrl(std::move(openUrl)) {}

bool CShellOpener::OpenDocument(std::string_view fileName,
                                const std::vector<std::string>& folders) const {
    const std::string path = LocateDataFile(std::string(fileName), folders, IsFile);
    if (path.empty() || !openUrl) {
        return false;
    }
    // Paths are the file system's bytes, not Windows-1252 texts.
    return openUrl(QUrl::fromLocalFile(QFile::decodeName(path.c_str())));
}

bool CShellOpener::OpenFolder(const std::string& folder) const {
    if (folder.empty() || !openUrl) {
        return false;
    }
    return openUrl(QUrl::fromLocalFile(QFile::decodeName(folder.c_str())));
}

std::string_view UserManualFor(std::string_view languageName) {
    static_assert(kHelpDocuments[0].menuItem == "HelpEng" &&
                  kHelpDocuments[1].menuItem == "HelpSwe");
    // The language file's section name, compared as the file spells it.
    return languageName == "Svenska" ? kHelpDocuments[1].fileName : kHelpDocuments[0].fileName;
}

TWebLinkLabel::TWebLinkLabel(QWidget* parent, CShellOpener opener, std::vector<std::string> folders,
                             TLanguageNameFunction languageName)
    : QLabel(parent),
      opener(std::move(opener)),
      folders(std::move(folders)),
      languageName(std::move(languageName)) {
    if (this->folders.empty()) {
        this->folders =
            DataFolders(QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString());
    }
    setObjectName(QStringLiteral("WebLinkLabel"));
    setText(QString::fromLatin1(kUserManualCaption.data(),
                                static_cast<qsizetype>(kUserManualCaption.size())));
    QPalette navy = palette();
    navy.setColor(QPalette::WindowText, QColor(0, 0, 128));
    setPalette(navy);
    setCursor(Qt::PointingHandCursor);
    // A narrow column or a large font breaks the caption into lines rather than cutting it.
    setWordWrap(true);
}

std::string_view TWebLinkLabel::ManualFileName() const {
    return UserManualFor(languageName ? languageName() : std::string());
}

void TWebLinkLabel::mouseReleaseEvent(QMouseEvent* event) {
    // A press that is dragged off the label before release is no click.
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        opener.OpenDocument(ManualFileName(), folders);
    }
    QLabel::mouseReleaseEvent(event);
}
