#include "ui/communicationlogform.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextCursor>
#include <QVBoxLayout>
#include <fstream>
#include <utility>
#include <vector>

#include "seriallink/trafficlog.h"

TCommunicationLogForm::TCommunicationLogForm(std::shared_ptr<const CTrafficLog> log,
                                             std::string saveFolder)
    : QDialog(nullptr),
      LogText(new QPlainTextEdit(this)),
      FindLabel(new QLabel(QStringLiteral("Find:"), this)),
      FindEdit(new QLineEdit(this)),
      FindButton(new QPushButton(QStringLiteral("Find Next"), this)),
      SaveAsButton(new QPushButton(QStringLiteral("Save As..."), this)),
      CloseButton(new QPushButton(QStringLiteral("Close"), this)),
      log(std::move(log)),
      saveFolder(std::move(saveFolder)) {
    setObjectName(QStringLiteral("CommunicationLogForm"));
    // An open log never keeps the program running once the main window has closed.
    setAttribute(Qt::WA_QuitOnClose, false);
    setWindowTitle(QStringLiteral("Communication Log"));
    LogText->setObjectName(QStringLiteral("LogText"));
    FindLabel->setObjectName(QStringLiteral("FindLabel"));
    FindEdit->setObjectName(QStringLiteral("FindEdit"));
    FindButton->setObjectName(QStringLiteral("FindButton"));
    SaveAsButton->setObjectName(QStringLiteral("SaveAsButton"));
    CloseButton->setObjectName(QStringLiteral("CloseButton"));

    LogText->setReadOnly(true);
    LogText->setLineWrapMode(QPlainTextEdit::NoWrap);
    LogText->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    // About as many lines as the log's own bound holds: the view, which only appends while
    // the log drops its oldest lines, stays as bounded as the log.
    LogText->setMaximumBlockCount(kMaxLines);
    FindLabel->setBuddy(FindEdit);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(LogText, 1);
    auto* row = new QHBoxLayout();
    row->addWidget(FindLabel);
    row->addWidget(FindEdit, 1);
    row->addWidget(FindButton);
    row->addSpacing(12);
    row->addWidget(SaveAsButton);
    row->addWidget(CloseButton);
    layout->addLayout(row);
    resize(820, 520);

    FindButton->setAutoDefault(false);
    SaveAsButton->setAutoDefault(false);
    CloseButton->setAutoDefault(false);
    connect(FindEdit, &QLineEdit::returnPressed, this, [this] { FindNext(); });
    connect(FindButton, &QPushButton::clicked, this, [this] { FindNext(); });
    connect(SaveAsButton, &QPushButton::clicked, this, [this] { SaveAsButtonClick(); });
    connect(CloseButton, &QPushButton::clicked, this, [this] { hide(); });
    connect(&refresh, &QTimer::timeout, this, [this] { Refresh(); });
}

void TCommunicationLogForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    Refresh();
    refresh.start(kRefreshMs);
}

void TCommunicationLogForm::hideEvent(QHideEvent* event) {
    refresh.stop();
    QDialog::hideEvent(event);
}

void TCommunicationLogForm::Refresh() {
    if (const uint64_t generation = log->Generation(); generation != shownGeneration) {
        shownGeneration = generation;
        shownLast = 0;
        LogText->clear();
    }
    const std::vector<std::string> lines = log->LinesAfter(shownLast, shownLast);
    if (lines.empty()) {
        return;
    }
    QScrollBar* bar = LogText->verticalScrollBar();
    // Someone reading further up is not pulled down by new lines.
    const bool following = bar->value() == bar->maximum();
    QString text;
    for (const std::string& line : lines) {
        if (!text.isEmpty()) {
            text += QLatin1Char('\n');
        }
        // The log shows every byte outside printable ASCII escaped, so the lines are ASCII.
        text += QString::fromLatin1(line.data(), static_cast<qsizetype>(line.size()));
    }
    LogText->appendPlainText(text);
    if (following) {
        bar->setValue(bar->maximum());
    }
}

bool TCommunicationLogForm::FindNext() {
    const QString text = FindEdit->text();
    if (text.isEmpty()) {
        return false;
    }
    if (LogText->find(text)) {
        return true;
    }
    const QTextCursor kept = LogText->textCursor();
    LogText->moveCursor(QTextCursor::Start);
    if (LogText->find(text)) {
        return true;
    }
    LogText->setTextCursor(kept);
    return false;
}

bool TCommunicationLogForm::SaveTo(const std::string& path, std::string& error) const {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << log->Text();
    file.close();
    if (!file) {
        error = path + ": cannot be written";
        return false;
    }
    return true;
}

void TCommunicationLogForm::SaveAsButtonClick() {
    QFileDialog dialog(this);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(NameFilters);
    dialog.setDefaultSuffix(QStringLiteral("txt"));
    dialog.setDirectory(QFile::decodeName(saveFolder.c_str()));
    dialog.selectFile(QStringLiteral("sendibox-log-") +
                      QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")) +
                      QStringLiteral(".txt"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return;
    }
    std::string error;
    if (!SaveTo(QFile::encodeName(dialog.selectedFiles().front()).toStdString(), error)) {
        QMessageBox::critical(this, windowTitle(), QFile::decodeName(error.c_str()));
    }
}
