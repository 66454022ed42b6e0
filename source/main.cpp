#include <QApplication>
#include <QMessageBox>
#include <QStringList>
#include <exception>
#include <string>

#include "persistence/configfolder.h"
#include "ui/mainform.h"

namespace {

constexpr const char* kApplicationTitle = "Sendibox Configuration Tool";

// Shows an exception that escapes an event handler, as the framework's exception box would,
// and lets the program go on.
class TApplication : public QApplication {
public:
    using QApplication::QApplication;

    bool notify(QObject* receiver, QEvent* event) override {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::exception& error) {
            ShowException(QString::fromLocal8Bit(error.what()));
        } catch (...) {
            ShowException(QString());
        }
        return false;
    }

private:
    static void ShowException(const QString& message) {
        QMessageBox::critical(activeWindow(), QString::fromLatin1(kApplicationTitle), message);
    }
};

std::string WithSeparator(std::string folder) {
    if (folder.empty() || folder.back() != '/') {
        folder += '/';
    }
    return folder;
}

}  // namespace

int main(int argc, char** argv) {
    TApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(kApplicationTitle));
    QApplication::setApplicationDisplayName(QString::fromLatin1(kApplicationTitle));
    QApplication::setApplicationVersion(QStringLiteral(SENDIBOX_VERSION));

    const std::string programFolder =
        WithSeparator(QApplication::applicationDirPath().toStdString());
    TMainFormEnvironment environment;
    // Beside the program first (a build tree, an unpacked copy), then the installed data folder
    // next to its bin/.
    environment.dataFolders = DataFolders(programFolder);
    environment.configFolder = ChooseConfigFolder(programFolder, ReadConfigEnvironment());
    EnsureFolder(environment.configFolder);

    // "--port NAME" selects a port at start, as the demo does for its simulated unit.
    const QStringList arguments = QApplication::arguments();
    const qsizetype portOption = arguments.indexOf(QStringLiteral("--port"));
    if (portOption > 0 && portOption + 1 < arguments.size()) {
        environment.startPort = arguments.at(portOption + 1).toLocal8Bit().toStdString();
    }

    TMainForm form(environment);
    form.show();
    app.exec();
    return 0;
}
