#include "cli/cliview.h"

#include <utility>
#include <vector>

#include "cli/clioutput.h"
#include "cli/profilecheck.h"
#include "operations/invalidvaluetext.h"
#include "persistence/applanguage.h"

namespace {

// The sequencer's error text: the language's words, then the failing controller's class name and
// the port's own words, each on a further line.
std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t from = 0;
    for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', from)) {
        lines.push_back(text.substr(from, at - from));
        from = at + 1;
    }
    lines.push_back(text.substr(from));
    return lines;
}

}  // namespace

CCliView::CCliView(std::string port, const CAppLanguage& language, CCliOutput& output,
                   std::string pin, std::string puk)
    : port(std::move(port)),
      language(language),
      output(output),
      givenPin(std::move(pin)),
      givenPuk(std::move(puk)) {}

std::string CCliView::Text(const std::string& key) const {
    return CCliOutput::Text(language.GetText(key));
}

void CCliView::ShowProgressInfo(const std::string& /*controllerName*/,
                                const CProgressInfo& progressInfo) {
    // Controllers report every item they move; a step is a new description.
    const std::string& description = progressInfo.GetDescription();
    if (description.empty() || description == lastDescription) {
        return;
    }
    lastDescription = description;
    output.Progress(port + ": " + CCliOutput::Text(description));
}

std::string CCliView::CodeRequestText(EPinKind type, int32_t triesLeft) const {
    const char* key = "CONTROLLER_PIN_ENTER_PIN";
    switch (type) {
        case EPinKind::SimPuk:
            key = "CONTROLLER_PIN_ENTER_PUK";
            break;
        case EPinKind::SimPin2:
            key = "CONTROLLER_PIN_ENTER_PIN2";
            break;
        case EPinKind::SimPuk2:
            key = "CONTROLLER_PIN_ENTER_PUK2";
            break;
        default:
            break;
    }
    return Text(key) + " " + Text("CONTROLLER_PIN_TRIES_LEFT") + " " + std::to_string(triesLeft);
}

void CCliView::RequestCode(EPinKind type, int32_t triesLeft, std::string& pin, std::string& puk,
                           bool& disableCodeCheck, bool previousCodeIncorrect, bool& userAborted) {
    disableCodeCheck = false;
    const bool wantsPuk = type == EPinKind::SimPuk || type == EPinKind::SimPuk2;
    // A code is given once: a second request means the SIM refused it, and another attempt
    // with the same code would only use up a further try.
    if (previousCodeIncorrect || ++requests > 1) {
        codeProblem = CodeRequestText(type, triesLeft) +
                      " (the SIM refused the code given, which is not tried again)";
        userAborted = true;
        return;
    }
    if (wantsPuk ? (givenPuk.empty() || givenPin.empty()) : givenPin.empty()) {
        codeProblem = CodeRequestText(type, triesLeft) +
                      (wantsPuk ? " (give it with --puk, and a new PIN with --pin)"
                                : " (give it with --pin)");
        userAborted = true;
        return;
    }
    pin = givenPin;
    puk = wantsPuk ? givenPuk : std::string();
    codeSent = true;
}

void CCliView::ShowError(const std::string& text) {
    const std::vector<std::string> lines = Lines(text);
    error = CCliOutput::Text(lines.front());
    if (lines.size() > 1) {
        std::string detail;
        for (std::size_t i = 1; i < lines.size(); ++i) {
            detail += (i > 1 ? ": " : "") + CCliOutput::Text(lines[i]);
        }
        if (codeSent && lines[1] == language.GetText("CONTROLLER_PIN_DESCRIPTION")) {
            detail += ": the SIM did not take the code given, which is not tried again";
        }
        error += " (" + detail + ")";
    }
}

void CCliView::ShowInvalidValues(const std::string& /*text*/,
                                 const std::vector<CInvalidValue>& values) {
    // A result line has room for every refused value, unlike a message box.
    error = CProfileCheck::InvalidValuesLine(InvalidValuesText(values, language, values.size()));
}

void CCliView::ShowInformation(const std::string& text) {
    notice = CCliOutput::Text(text);
}

void CCliView::ShowMessage(const std::string& text) {
    notice = CCliOutput::Text(text);
}

void CCliView::ShowPlugDialog() {
    plugHint = Text("RECONNECT_PLUGS");
}

std::string CCliView::FailureText() const {
    if (!codeProblem.empty()) {
        return codeProblem;
    }
    return error.empty() ? notice : error;
}
