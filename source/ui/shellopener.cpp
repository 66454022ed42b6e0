#include "ui/shellopener.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QFile>
#include <QMouseEvent>
#include <QPalette>
#include <QProcess>
#include <QStandardPaths>
#include <filesystem>
#include <memory>
#include <utility>

#include "persistence/configfolder.h"

namespace {

bool IsFile(const std::string& path) {
    std::error_code ignored;
    return std::filesystem::is_regular_file(path, ignored);
}

// A program that fails within this time after xdg-open started it failed to show the file; one
// that ends later with an error was shown and closed, which is no news for the user.
constexpr int kOpenFailureWindowMs = 15000;

// xdg-open says by its exit code whether any program took the file. It may run as long as the
// viewer does, so the process is left to finish on its own and is not bound to any window.
void OpenOnDesktop(const QUrl& url, const TOpenedFunction& done) {
    const QString xdgOpen = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (xdgOpen.isEmpty() || !url.isLocalFile()) {
        const bool opened = QDesktopServices::openUrl(url);
        if (done) {
            done(opened);
        }
        return;
    }
    auto* process = new QProcess;
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    auto reported = std::make_shared<bool>(false);
    const auto report = [done, reported](bool opened) {
        if (!*reported && done) {
            *reported = true;
            done(opened);
        }
    };
    QObject::connect(process, &QProcess::finished, process,
                     [process, clock, report](int code, QProcess::ExitStatus status) {
                         const bool failed = status != QProcess::NormalExit || code != 0;
                         report(!(failed && clock->elapsed() < kOpenFailureWindowMs));
                         process->deleteLater();
                     });
    QObject::connect(process, &QProcess::errorOccurred, process,
                     [process, report](QProcess::ProcessError error) {
                         if (error == QProcess::FailedToStart) {
                             report(false);
                             process->deleteLater();
                         }
                     });
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    process->start(xdgOpen, {url.toLocalFile()});
}

}  // namespace

CShellOpener::CShellOpener() : openUrl(OpenOnDesktop) {}

CShellOpener::CShellOpener(TOpenUrlFunction plainOpenUrl) {
    if (plainOpenUrl) {
        openUrl = [plainOpenUrl](const QUrl& url, const TOpenedFunction& done) {
            const bool opened = plainOpenUrl(url);
            if (done) {
                done(opened);
            }
        };
    }
}

CShellOpener CShellOpener::Reporting(TOpenUrlReportingFunction openUrl) {
    CShellOpener opener(TOpenUrlFunction{});
    opener.openUrl = std::move(openUrl);
    return opener;
}

bool CShellOpener::OpenDocument(std::string_view fileName, const std::vector<std::string>& folders,
                                const TNotOpenedFunction& notOpened) const {
    const std::string path = LocateDataFile(std::string(fileName), folders, IsFile);
    if (path.empty() || !openUrl) {
        return false;
    }
    if (notOpened && !IsFile(path)) {
        notOpened(path, false);
        return false;
    }
    // Paths are the file system's bytes, not Windows-1252 texts. An answer that comes later
    // than this call counts as handed on for now.
    auto answer = std::make_shared<int>(-1);
    openUrl(QUrl::fromLocalFile(QFile::decodeName(path.c_str())),
            [notOpened, path, answer](bool opened) {
                if (*answer < 0) {
                    *answer = opened ? 1 : 0;
                }
                if (!opened && notOpened) {
                    notOpened(path, true);
                }
            });
    return *answer != 0;
}

bool CShellOpener::OpenFolder(const std::string& folder) const {
    if (folder.empty() || !openUrl) {
        return false;
    }
    auto answer = std::make_shared<int>(-1);
    openUrl(QUrl::fromLocalFile(QFile::decodeName(folder.c_str())), [answer](bool opened) {
        if (*answer < 0) {
            *answer = opened ? 1 : 0;
        }
    });
    return *answer != 0;
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
        opener.OpenDocument(ManualFileName(), folders, notOpened);
    }
    QLabel::mouseReleaseEvent(event);
}
