#pragma once

#include <QPushButton>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "operations/unitprobe.h"

class TComPortBox;

// "Find Unit", beside the port box: on a click it asks every port of the box at once whether a
// supported module answers (the connection check's "ATI"), marks each port where one does,
// and selects the first of them. The ports are asked on a thread of the button's own, so the
// window stays responsive; the button stays disabled until every answer is in.
class TUnitFinder : public QPushButton {
    Q_OBJECT
public:
    using TProbe = std::function<std::vector<CProbeResult>(const std::vector<std::string>&)>;
    using TText = std::function<QString(const std::string& key)>;

    // `text` gives the language's texts, from the first Retranslate on; `refill` refills the
    // box before each search.
    TUnitFinder(TComPortBox* portBox, TText text, std::function<void()> refill,
                QWidget* parent = nullptr);
    // Waits for a search still running: every port is closed again before the window goes.
    ~TUnitFinder() override;
    TUnitFinder(const TUnitFinder&) = delete;
    TUnitFinder& operator=(const TUnitFinder&) = delete;

    // ProbeForUnits unless replaced (tests shorten its time-outs).
    TProbe probe;
    // Runs when a search starts (true) and when it has ended (false); optional. The window
    // keeps Connect from opening a port the search holds.
    std::function<void(bool)> OnSearching;

    bool IsSearching() const { return searching; }
    void Retranslate();

private:
    void Search();
    void Finished(const std::vector<std::string>& ports, const std::vector<CProbeResult>& results);

    TComPortBox* const portBox;
    const TText text;
    const std::function<void()> refill;
    bool searching = false;
    std::thread worker;
};
