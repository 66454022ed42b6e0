#pragma once

#include <QDialog>
#include <QStringList>
#include <QTimer>
#include <cstdint>
#include <memory>
#include <string>

class CTrafficLog;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QShowEvent;
class QHideEvent;

// The communication log, live: what went over the port in this connection and the one before,
// read-only, with a find field and "Save As...". It has no owner, so it stays usable while the
// main window is disabled behind a running operation, which is when it is most worth watching.
// While it is shown it takes the log's new lines a few times a second.
class TCommunicationLogForm : public QDialog {
    Q_OBJECT
public:
    static constexpr int kRefreshMs = 250;
    static constexpr int kMaxLines = 60000;

    // `saveFolder`: where "Save As..." starts.
    TCommunicationLogForm(std::shared_ptr<const CTrafficLog> log, std::string saveFolder);

    // Takes the log's lines made since the last look; the whole log afresh once a new
    // connection has dropped old lines.
    void Refresh();
    // Selects the next occurrence of the find field's text after the cursor, starting again at
    // the top when there is none below; false when the text occurs nowhere.
    bool FindNext();
    // Writes the whole kept log to `path`; false, with the reason in `error`, when it cannot.
    bool SaveTo(const std::string& path, std::string& error) const;

    QPlainTextEdit* const LogText;
    QLabel* const FindLabel;
    QLineEdit* const FindEdit;
    QPushButton* const FindButton;
    QPushButton* const SaveAsButton;
    QPushButton* const CloseButton;
    // The file types "Save As..." offers, in the window's language.
    QStringList NameFilters = {QStringLiteral("Log (*.txt)"), QStringLiteral("All (*)")};

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void SaveAsButtonClick();

    std::shared_ptr<const CTrafficLog> log;
    const std::string saveFolder;
    QTimer refresh;
    uint64_t shownGeneration = 0;
    uint64_t shownLast = 0;
};
