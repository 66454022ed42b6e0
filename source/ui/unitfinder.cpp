#include "ui/unitfinder.h"

#include <QMessageBox>
#include <QMetaObject>
#include <QPointer>

#include "core/win1252.h"
#include "ui/comportbox.h"

TUnitFinder::TUnitFinder(TComPortBox* portBox, TText text, std::function<void()> refill,
                         QWidget* parent)
    : QPushButton(parent),
      probe([](const std::vector<std::string>& ports) { return ProbeForUnits(ports); }),
      portBox(portBox),
      text(std::move(text)),
      refill(std::move(refill)) {
    // The language's caption comes with the window's other texts (Retranslate).
    setText(QStringLiteral("Find Unit"));
    connect(this, &QPushButton::clicked, this, [this] { Search(); });
}

TUnitFinder::~TUnitFinder() {
    if (worker.joinable()) {
        worker.join();
    }
}

void TUnitFinder::Retranslate() {
    setText(text("FIND_UNIT"));
    setToolTip(text("FIND_UNIT_HINT"));
}

void TUnitFinder::Search() {
    if (searching) {
        return;
    }
    if (worker.joinable()) {
        worker.join();
    }
    if (refill) {
        refill();
    }
    std::vector<std::string> ports;
    for (int i = 0; i < portBox->count(); ++i) {
        ports.push_back(Utf8ToWin1252(portBox->itemText(i).toStdString()));
    }
    if (ports.empty()) {
        QMessageBox::information(window(), window()->windowTitle(), text("FIND_UNIT_NONE"));
        return;
    }
    searching = true;
    setEnabled(false);
    setCursor(Qt::BusyCursor);
    if (OnSearching) {
        OnSearching(true);
    }
    // The answers come back to this thread through the event loop; a button gone by then
    // (the window closed) takes none.
    QPointer<TUnitFinder> self(this);
    worker = std::thread([self, ports, probe = probe] {
        std::vector<CProbeResult> results = probe(ports);
        QMetaObject::invokeMethod(
            self.data(),
            [self, ports, results = std::move(results)] {
                if (self) {
                    self->Finished(ports, results);
                }
            },
            Qt::QueuedConnection);
    });
}

void TUnitFinder::Finished(const std::vector<std::string>& ports,
                           const std::vector<CProbeResult>& results) {
    searching = false;
    setEnabled(true);
    unsetCursor();
    if (OnSearching) {
        OnSearching(false);
    }
    int first = -1;
    for (std::size_t i = 0; i < ports.size() && i < results.size(); ++i) {
        const int index =
            portBox->findText(QString::fromStdString(Win1252ToUtf8(ports[i])), Qt::MatchExactly);
        if (index < 0 || results[i].kind != CProbeResult::EKind::unit) {
            continue;
        }
        portBox->AddNote(index, text("FIND_UNIT_FOUND") + QStringLiteral(": ") +
                                    QString::fromStdString(Win1252ToUtf8(results[i].text)));
        first = first < 0 ? index : first;
    }
    if (first >= 0) {
        portBox->setCurrentIndex(first);
    } else {
        QMessageBox::information(window(), window()->windowTitle(), text("FIND_UNIT_NONE"));
    }
}
