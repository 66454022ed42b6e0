#include <QApplication>
#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QMessageBox>
#include <QStringList>
#include <exception>
#include <iostream>
#include <optional>
#include <string>

#include "core/interruptwatcher.h"
#include "persistence/configfolder.h"
#include "ui/mainform.h"
#include "ui/windowcloser.h"

namespace {

constexpr const char* kApplicationTitle = "Sendibox Configuration Tool";
// The program's name as the desktop knows it: the desktop entry's name, the window class the
// entry's StartupWMClass matches, and the name in --version.
constexpr const char* kProgramName = "sendibox-config";
constexpr int kExitUsage = 2;

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

// The window's command line. --help and --version are answered before the window's toolkit
// starts, so they work without a display; the toolkit's own options (-platform, -style) are
// taken out of the line by QApplication before the rest is checked.
class CWindowCommandLine {
public:
    CWindowCommandLine() {
        parser.setApplicationDescription(QStringLiteral(
            "Reads and writes the settings, access numbers and alarm messages of a Sendibox "
            "unit over a serial port."));
        parser.addOption(port);
        parser.addOption(help);
        parser.addOption(version);
    }

    // Answers --help and --version; the exit status then, else nothing.
    std::optional<int> AnswerAtOnce(const QStringList& arguments) {
        parser.parse(arguments);
        if (parser.isSet(help)) {
            // Before the application exists the parser cannot know the program's name.
            std::cout << parser.helpText()
                             .replace(QStringLiteral("<executable_name>"),
                                      QString::fromLatin1(kProgramName))
                             .toStdString();
            return 0;
        }
        if (parser.isSet(version)) {
            std::cout << kProgramName << " " << SENDIBOX_VERSION << "\n";
            return 0;
        }
        return std::nullopt;
    }

    // False, after one line and a hint on standard error, when the line is refused.
    bool Parse(const QStringList& arguments) {
        if (!parser.parse(arguments) || !parser.positionalArguments().isEmpty()) {
            const QString error = parser.errorText().isEmpty()
                                      ? QStringLiteral("unexpected argument \"") +
                                            parser.positionalArguments().constFirst() + '"'
                                      : parser.errorText();
            std::cerr << kProgramName << ": " << error.toLocal8Bit().toStdString() << "\n"
                      << "Try '" << kProgramName << " --help' for more information.\n";
            return false;
        }
        return true;
    }

    std::string Port() const { return parser.value(port).toLocal8Bit().toStdString(); }

private:
    QCommandLineParser parser;
    QCommandLineOption port{QStringLiteral("port"),
                            QStringLiteral("Select PORT in the port box at start (a device name "
                                           "such as ttyUSB0, or a path)."),
                            QStringLiteral("PORT")};
    QCommandLineOption help{{QStringLiteral("h"), QStringLiteral("help")},
                            QStringLiteral("Show this help and exit.")};
    QCommandLineOption version{QStringLiteral("version"),
                               QStringLiteral("Show the version and exit.")};
};

std::string WithSeparator(std::string folder) {
    if (folder.empty() || folder.back() != '/') {
        folder += '/';
    }
    return folder;
}

}  // namespace

int main(int argc, char** argv) {
    CWindowCommandLine commandLine;
    QStringList rawArguments;
    for (int i = 0; i < argc; ++i) {
        rawArguments << QString::fromLocal8Bit(argv[i]);
    }
    if (const std::optional<int> answered = commandLine.AnswerAtOnce(rawArguments)) {
        return *answered;
    }

    // A stop signal (a logout or shutdown, a kill, Ctrl+C in the terminal that started the
    // window) closes the window as its close button does, from the moment the program starts;
    // a second one ends the program at once.
    CWindowCloser closer;
    const CInterruptWatcher interrupts(
        [&closer] { closer.Request(); },
        std::string(kProgramName) + ": stopping; closing the window");
    TApplication app(argc, argv);
    if (!commandLine.Parse(QApplication::arguments())) {
        return kExitUsage;
    }
    QApplication::setApplicationName(QString::fromLatin1(kProgramName));
    QApplication::setDesktopFileName(QString::fromLatin1(kProgramName));
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
    environment.startPort = commandLine.Port();

    TMainForm form(environment);
    form.show();
    closer.Attach(&form);
    const int status = app.exec();
    closer.Attach(nullptr);
    // As a shell reports a program a signal ended (143 for SIGTERM), though the window's
    // shutdown has run: whoever sent it can tell it was obeyed.
    const int interrupted = interrupts.InterruptedStatus();
    return interrupted != 0 ? interrupted : status;
}
