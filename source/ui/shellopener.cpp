#include "ui/shellopener.h"

#include <QDesktopServices>
#include <QFile>
#include <QMouseEvent>
#include <QPalette>
#include <filesystem>
#include <utility>

#include "core/win1252.h"
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

bool CShellOpener::OpenAddress(std::string_view address) const {
    const QUrl url =
        QUrl::fromUserInput(QString::fromStdString(Win1252ToUtf8(std::string(address))));
    if (!url.isValid() || !openUrl) {
        return false;
    }
    return openUrl(url);
}

TWebLinkLabel::TWebLinkLabel(QWidget* parent, CShellOpener opener, std::string_view address)
    : QLabel(parent), opener(std::move(opener)), address(address) {
    setObjectName(QStringLiteral("WebLinkLabel"));
    setText(QString::fromStdString(Win1252ToUtf8(this->address)));
    QPalette navy = palette();
    navy.setColor(QPalette::WindowText, QColor(0, 0, 128));
    setPalette(navy);
    setCursor(Qt::PointingHandCursor);
}

void TWebLinkLabel::mouseReleaseEvent(QMouseEvent* event) {
    // A press that is dragged off the label before release is no click.
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        opener.OpenAddress(address);
    }
    QLabel::mouseReleaseEvent(event);
}
