#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "operations/sequencerview.h"

class CAppLanguage;
class CCliOutput;

// What the sequencer reports for one unit of the command line: each new step as a progress
// line, the SIM's code request answered from the command line (once, never guessed), and the
// end of each run with the reason of a failure kept for the unit's result line. Used on the
// unit's own thread only.
class CCliView : public ISequencerView {
public:
    // `pin` and `puk` are the codes given on the command line, empty when not given.
    CCliView(std::string port, const CAppLanguage& language, CCliOutput& output, std::string pin,
             std::string puk);

    void ShowProgress() override {}
    void HideProgress() override {}
    void ShowProgressInfo(const std::string& controllerName,
                          const CProgressInfo& progressInfo) override;
    void RequestCode(EPinKind type, int32_t triesLeft, std::string& pin, std::string& puk,
                     bool& disableCodeCheck, bool previousCodeIncorrect,
                     bool& userAborted) override;
    void ReportSignal(int32_t /*signalStrength*/, int32_t /*loggedOnToNet*/) override {}
    void ShowError(const std::string& text) override;
    void ShowInvalidValues(const std::string& text,
                           const std::vector<CInvalidValue>& values) override;
    void ShowInformation(const std::string& text) override;
    void ShowMessage(const std::string& text) override;
    void ShowPlugDialog() override;
    void ClearCurrentControls() override {}
    void ClearSignalDisplay() override {}
    void RepaintGrids() override {}
    void ConnectionChanged(bool /*open*/) override {}
    void RunEnded(ERunOutcome outcome) override { this->outcome = outcome; }

    // How the last run ended; nothing while one goes on or before the first.
    std::optional<ERunOutcome> Outcome() const { return outcome; }
    // Forgets the outcome before a further run of the same connection.
    void ForgetOutcome() { outcome.reset(); }

    // Why the unit failed, one line of UTF-8: the refused code request, else the error, else
    // the notice or message the sequencer gave; empty when it said nothing.
    std::string FailureText() const;
    // The plug hint after a write, UTF-8; empty until the sequencer asked for it.
    const std::string& PlugHint() const { return plugHint; }

private:
    std::string Text(const std::string& key) const;
    // What the SIM asks for and how many tries it has left, in the language's words.
    std::string CodeRequestText(EPinKind type, int32_t triesLeft) const;

    const std::string port;
    const CAppLanguage& language;
    CCliOutput& output;
    const std::string givenPin;
    const std::string givenPuk;

    std::optional<ERunOutcome> outcome;
    std::string lastDescription;
    int requests = 0;
    bool codeSent = false;
    std::string codeProblem;
    std::string error;
    std::string notice;
    std::string plugHint;
};
