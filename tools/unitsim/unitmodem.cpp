#include "unitsim/unitmodem.h"

#include <algorithm>
#include <cctype>

#include "unitsim/gsmalphabet.h"
#include "unitsim/unitmodemsyntax.h"

using namespace unitmodemsyntax;

namespace {

constexpr std::size_t kMaxLine = 1024;       // longer command lines are refused
constexpr std::size_t kMaxTextBytes = 160;   // one SMS of the 7-bit alphabet
constexpr std::size_t kMaxTextInput = 4096;  // what is kept of a text that does not end

const char kErrorResult[] = "\r\nERROR\r\n";

bool ContainsNoCase(const std::string& text, const std::string& pattern) {
    return Upper(text).find(Upper(pattern)) != std::string::npos;
}

// Blanks between the parts of a command carry no meaning (V.250); inside quotes they do.
std::string WithoutBlanks(const std::string& body) {
    std::string out;
    bool quoted = false;
    for (const char c : body) {
        if (c == '"') {
            quoted = !quoted;
        }
        if (quoted || c != ' ') {
            out += c;
        }
    }
    return out;
}

struct CodeText {
    int code;
    const char* text;
};

constexpr CodeText kCmeTexts[] = {
    {3, "operation not allowed"}, {4, "operation not supported"},
    {11, "SIM PIN required"},     {12, "SIM PUK required"},
    {13, "SIM failure"},          {14, "SIM busy"},
    {16, "incorrect password"},   {17, "SIM PIN2 required"},
    {18, "SIM PUK2 required"},    {20, "memory full"},
    {21, "invalid index"},        {24, "text string too long"},
    {26, "dial string too long"}, {27, "invalid characters in dial string"},
};

constexpr CodeText kCmsTexts[] = {
    {302, "operation not allowed"},
    {304, "invalid PDU mode parameter"},
    {305, "invalid text mode parameter"},
    {311, "SIM PIN required"},
    {313, "SIM failure"},
    {314, "SIM busy"},
    {316, "SIM PUK required"},
    {317, "SIM PIN2 required"},
    {318, "SIM PUK2 required"},
    {321, "invalid memory index"},
    {322, "memory full"},
};

template <std::size_t N>
const char* TextOf(int code, const CodeText (&texts)[N], const char* unknown) {
    const auto found = std::find_if(std::begin(texts), std::end(texts),
                                    [code](const CodeText& each) { return each.code == code; });
    return found == std::end(texts) ? unknown : found->text;
}

// The error result as AT+CMEE asks for it: plain ERROR (0), the code (1) or its text (2).
std::string CodedError(int errorMode, const char* kind, int code, const char* text) {
    if (errorMode == 0) {
        return kErrorResult;
    }
    return std::string("\r\n") + kind +
           " ERROR: " + (errorMode == 1 ? std::to_string(code) : std::string(text)) + "\r\n";
}

}  // namespace

CUnitModem::CUnitModem(CUnitState initial, ChangeHandler handler)
    : state(std::move(initial)), onChange(std::move(handler)) {
    Restore(state.profile);
    cregMode = state.network.cregMode;
    const CSimLock& lock = state.sim;
    if (lock.pukTries == 0) {
        sim = SimState::Blocked;
    } else if (lock.pinTries == 0) {
        sim = SimState::SimPuk;
    } else if (lock.lock) {
        sim = SimState::SimPin;
    } else if (lock.askPin2 && lock.puk2Tries > 0) {
        sim = lock.pin2Tries == 0 ? SimState::SimPuk2 : SimState::SimPin2;
    }
}

void CUnitModem::AddFault(const CCommandFault& fault) {
    faults.push_back({fault, 0});
}

void CUnitModem::ClearFaults() {
    faults.clear();
    storeFaultAt = 0;
    hangUpAt = 0;
    hangUpArmed = false;
}

void CUnitModem::SetStoreIndexFault(int nth) {
    storeFaultAt = std::max(nth, 0);
}

void CUnitModem::SetHangUpAfter(int entries) {
    hangUpAt = std::max(entries, 0);
}

std::vector<CModemOutput> CUnitModem::Feed(std::string_view bytes) {
    std::vector<CModemOutput> out;
    std::string echoed;
    const auto flushEcho = [&] {
        if (!echoed.empty()) {
            out.push_back({CModemOutput::Kind::Echo, echoed});
            echoed.clear();
        }
    };
    if (hangUpArmed && !bytes.empty()) {
        // The line went dead after the last answer; whatever comes now meets a dead line.
        hangUpArmed = false;
        hungUp = true;
        out.push_back({CModemOutput::Kind::HangUp, {}});
    }
    for (const char c : bytes) {
        if (hungUp) {
            break;
        }
        if (inText) {
            if (c == 0x1A || c == 0x1B) {
                flushEcho();
                HandleTextEnd(c, out);
            } else if (c == '\r') {
                // A line break inside the text is kept, and the prompt comes again for the
                // next line.
                flushEcho();
                text += c;
                out.push_back({CModemOutput::Kind::Reply, "\r\n> "});
            } else if (c == 0x08) {
                // The text is edited as it is typed (TS 27.005): a backspace takes back the last
                // character, so a GSM "ò" must be typed as its escape.
                if (echo) {
                    echoed += c;
                }
                if (!text.empty()) {
                    text.pop_back();
                }
            } else {
                if (echo) {
                    echoed += c;
                }
                if (text.size() < kMaxTextInput) {
                    text += c;
                }
            }
            continue;
        }
        if (echo) {
            echoed += c;
        }
        if (c == '\r') {
            flushEcho();
            HandleLine(line, out);
            line.clear();
            lineOverflow = false;
        } else if (c == 0x08) {
            if (!line.empty()) {
                line.pop_back();
            }
        } else if (c == '\n' && line.empty()) {
            // The line feed of a client that ends its lines with CR LF.
        } else if (static_cast<unsigned char>(c) < 0x20 && c != '\n') {
            // Other control characters, ESC among them, are ignored in a command line (V.250),
            // so an ESC sent to a module that was not waiting for text does no harm.
        } else if (line.size() < kMaxLine) {
            line += c;
        } else {
            lineOverflow = true;
        }
    }
    flushEcho();
    return out;
}

void CUnitModem::HandleLine(const std::string& received, std::vector<CModemOutput>& out) {
    if (received.find_first_not_of(" \t\n") == std::string::npos) {
        return;
    }
    // Whatever comes before the "AT" prefix is ignored, as V.250 says; a line without one gets
    // no answer at all.
    const std::string upper = Upper(received);
    const std::size_t prefix = upper.find("AT");
    if (prefix == std::string::npos) {
        Answer(
            received, [] { return std::string(); }, out);
        return;
    }
    if (lineOverflow) {
        Answer(
            received, [this] { return Error(); }, out);
        return;
    }
    const std::string body = received.substr(prefix + 2);
    Answer(
        received, [this, &body] { return Execute(body); }, out);
}

void CUnitModem::HandleTextEnd(char terminator, std::vector<CModemOutput>& out) {
    inText = false;
    const std::string entry = text + terminator;
    Answer(
        entry,
        [this, terminator] {
            if (terminator == 0x1B) {
                return Ok();
            }
            // The typed text takes the same "\hh" escapes as a quoted parameter; the limit is
            // on what is stored.
            const std::string typed = misstore ? *misstore : CGsmAlphabet::Unescape(text);
            if (typed.size() > kMaxTextBytes) {
                return CmsError(305);
            }
            const int index = FreeSmsIndex();
            if (index == 0) {
                return CmsError(322);
            }
            CStoredSms sms;
            sms.status = pendingStatus;
            sms.address = pendingAddress;
            sms.text = typed;
            state.messages[index] = sms;
            Changed();
            return "\r\n+CMGW: " + std::to_string(index) + "\r\n" + Ok();
        },
        out);
    text.clear();
}

void CUnitModem::Answer(const std::string& entry, const std::function<std::string()>& run,
                        std::vector<CModemOutput>& out) {
    log.push_back(entry);
    const CCommandFault* main = nullptr;
    std::string before;
    std::string inside;
    std::string after;
    for (ActiveFault& active : faults) {
        const CCommandFault& fault = active.fault;
        if (!ContainsNoCase(entry, fault.pattern)) {
            continue;
        }
        ++active.seen;
        if (active.seen != fault.nth && !(fault.andFollowing && active.seen > fault.nth)) {
            continue;
        }
        if (fault.action == CCommandFault::Action::UnsolicitedBefore) {
            before += "\r\n" + fault.text + "\r\n";
        } else if (fault.action == CCommandFault::Action::UnsolicitedInside) {
            inside += "\r\n" + fault.text + "\r\n";
        } else if (fault.action == CCommandFault::Action::UnsolicitedAfter) {
            after += "\r\n" + fault.text + "\r\n";
        } else if (main == nullptr) {
            main = &fault;
        }
    }
    std::string reply;
    if (main == nullptr) {
        reply = run();
    } else {
        switch (main->action) {
            case CCommandFault::Action::Error:
                reply = kErrorResult;
                break;
            case CCommandFault::Action::LoseReply:
                run();
                break;
            case CCommandFault::Action::Reply:
                reply = main->text;
                break;
            case CCommandFault::Action::Misstore:
                misstore = main->text;
                reply = run();
                misstore.reset();
                break;
            default:
                break;
        }
    }
    if (!inside.empty()) {
        // The final result code is the reply's last line, framed "\r\n" ... "\r\n".
        const std::size_t finalLine = reply.ends_with("\r\n") && reply.size() > 4
                                          ? reply.rfind("\r\n", reply.size() - 3)
                                          : std::string::npos;
        reply.insert(finalLine == std::string::npos ? 0 : finalLine, inside);
    }
    const std::string all = before + reply + after;
    if (!all.empty()) {
        out.push_back({CModemOutput::Kind::Reply, all});
    }
    if (hangUpAt > 0 && --hangUpAt == 0) {
        hangUpArmed = true;
    }
}

std::string CUnitModem::Ok() const {
    return "\r\nOK\r\n";
}

std::string CUnitModem::Info(const std::vector<std::string>& lines) const {
    std::string out = "\r\n";
    for (const std::string& each : lines) {
        out += each + "\r\n";
    }
    return out + Ok();
}

std::string CUnitModem::Error() const {
    return kErrorResult;
}

std::string CUnitModem::CmeError(int code) const {
    return CodedError(errorMode, "+CME", code, TextOf(code, kCmeTexts, "unknown"));
}

std::string CUnitModem::CmsError(int code) const {
    return CodedError(errorMode, "+CMS", code, TextOf(code, kCmsTexts, "unknown error"));
}

namespace {

struct ParsedCommand {
    std::string name;  // upper case, with its "+" or "^"
    std::string mode;  // "exec", "read", "test" or "set"
    std::string args;
};

bool SplitExtended(const std::string& body, ParsedCommand& command) {
    const std::size_t end = body.find_first_of("=?");
    command.name = Upper(body.substr(0, end));
    const std::string rest = end == std::string::npos ? "" : body.substr(end);
    if (rest.empty()) {
        command.mode = "exec";
    } else if (rest == "?") {
        command.mode = "read";
    } else if (rest == "=?") {
        command.mode = "test";
    } else if (rest[0] == '=') {
        command.mode = "set";
        command.args = rest.substr(1);
    } else {
        return false;
    }
    return true;
}

}  // namespace

std::string CUnitModem::Execute(const std::string& rawBody) {
    const std::string body = WithoutBlanks(rawBody);
    if (body.empty()) {
        return Ok();
    }
    if (body[0] != '+' && body[0] != '^') {
        return Basic(Upper(body));
    }
    ParsedCommand command;
    if (!SplitExtended(body, command)) {
        return Error();
    }
    // Parameters: comma separated, each a quoted string (with V.250 "\hh" escapes) or a bare
    // value; an empty one is absent.
    std::vector<Param> params;
    if (command.mode == "set") {
        const std::string& args = command.args;
        std::size_t i = 0;
        for (;;) {
            Param param;
            if (i < args.size() && args[i] == '"') {
                const std::size_t close = args.find('"', i + 1);
                if (close == std::string::npos) {
                    return Error();
                }
                param.value = CGsmAlphabet::Unescape(args.substr(i + 1, close - i - 1));
                param.quoted = true;
                param.present = true;
                i = close + 1;
                if (i < args.size() && args[i] != ',') {
                    return Error();
                }
            } else {
                const std::size_t comma = std::min(args.find(',', i), args.size());
                param.value = args.substr(i, comma - i);
                if (param.value.find('"') != std::string::npos) {
                    return Error();
                }
                param.present = !param.value.empty();
                i = comma;
            }
            params.push_back(param);
            if (i >= args.size()) {
                break;
            }
            ++i;
            if (i == args.size()) {
                params.push_back({});
                break;
            }
        }
    }
    const std::string& name = command.name;
    const std::string& mode = command.mode;
    if (name == "+CGMI" || name == "+CGMM" || name == "+CGMR" || name == "+CGSN") {
        return mode == "exec" ? Identity(name) : (mode == "test" ? Ok() : Error());
    }
    if (name == "+CMEE" || name == "+CMGF" || name == "+CSCS") {
        return Profile(name, mode, params);
    }
    if (name == "+CPIN" || name == "+CPIN2") {
        return Pin(mode, params, name == "+CPIN2");
    }
    using Handler = std::string (CUnitModem::*)(const std::string&, const std::vector<Param>&);
    static const std::pair<const char*, Handler> kHandlers[] = {
        {"^SPIC", &CUnitModem::Spic}, {"+CLCK", &CUnitModem::Clck}, {"+CPBS", &CUnitModem::Cpbs},
        {"+CPBR", &CUnitModem::Cpbr}, {"+CPBW", &CUnitModem::Cpbw}, {"+CMGL", &CUnitModem::Cmgl},
        {"+CMGR", &CUnitModem::Cmgr}, {"+CMGW", &CUnitModem::Cmgw}, {"+CMGD", &CUnitModem::Cmgd},
        {"+CPMS", &CUnitModem::Cpms}, {"+CSQ", &CUnitModem::Csq},   {"+CREG", &CUnitModem::Creg},
    };
    for (const auto& [handled, handler] : kHandlers) {
        if (name == handled) {
            return (this->*handler)(mode, params);
        }
    }
    return Error();
}

std::string CUnitModem::Basic(const std::string& name) {
    if (name == "I" || name == "I0") {
        return Info({state.maker, state.model, state.revision});
    }
    if (name == "E" || name == "E0" || name == "E1") {
        echo = name == "E1";
        return Ok();
    }
    if (name == "V1" || name == "Q0") {
        return Ok();  // verbose results, shown: the only way this module answers
    }
    if (name == "&W" || name == "&W0") {
        state.profile = {echo, errorMode, textMode};
        Changed();
        return Ok();
    }
    if (name == "Z" || name == "Z0" || name == "&F" || name == "&F0") {
        Restore(name[0] == 'Z' ? state.profile : CModemProfile());
        return Ok();
    }
    return Error();
}

std::string CUnitModem::Identity(const std::string& name) {
    if (name == "+CGMI") {
        return Info({state.maker});
    }
    if (name == "+CGMM") {
        return Info({state.model});
    }
    if (name == "+CGSN") {
        return Info({state.imei});
    }
    return Info({state.revision});
}

std::string CUnitModem::Profile(const std::string& name, const std::string& mode,
                                const std::vector<Param>& params) {
    if (name == "+CSCS") {
        if (mode == "read") {
            return Info({"+CSCS: \"GSM\""});
        }
        if (mode == "test") {
            return Info({"+CSCS: (\"GSM\")"});
        }
        if (mode == "set" && params.size() == 1) {
            return Upper(params[0].value) == "GSM" ? Ok() : CmeError(4);
        }
        return Error();
    }
    const bool isCmee = name == "+CMEE";
    if (mode == "read") {
        return Info({name + ": " + std::to_string(isCmee ? errorMode : (textMode ? 1 : 0))});
    }
    if (mode == "test") {
        return Info({name + (isCmee ? ": (0-2)" : ": (0,1)")});
    }
    int value = 0;
    if (mode != "set" || params.size() != 1 || !ToInt(params[0].value, value) ||
        value > (isCmee ? 2 : 1)) {
        return Error();
    }
    if (isCmee) {
        errorMode = value;
    } else {
        textMode = value == 1;
    }
    return Ok();
}

int CUnitModem::PhonebookBlock() const {
    switch (sim) {
        case SimState::SimPin:
            return 11;
        case SimState::SimPuk:
            return 12;
        case SimState::SimPin2:
            return 17;
        case SimState::SimPuk2:
            return 18;
        case SimState::Blocked:
            return 13;
        case SimState::Ready:
            break;
    }
    return Clock::now() < busyUntil ? 14 : 0;
}

int CUnitModem::SmsBlock(bool needsTextMode) const {
    // The +CMS codes follow the +CME ones, except for the PUK (312 is the PH-SIM PIN).
    const int block = PhonebookBlock();
    if (block != 0) {
        return block == 12 ? 316 : block + 300;
    }
    return needsTextMode && !textMode ? 304 : 0;
}

const char* CUnitModem::Asked() const {
    switch (sim) {
        case SimState::SimPin:
            return "SIM PIN";
        case SimState::SimPuk:
            return "SIM PUK";
        case SimState::SimPin2:
            return "SIM PIN2";
        case SimState::SimPuk2:
            return "SIM PUK2";
        default:
            return "READY";
    }
}

void CUnitModem::StartBusy() {
    busyUntil = Clock::now() + std::chrono::milliseconds(state.sim.busyMs);
}

void CUnitModem::Restore(const CModemProfile& profile) {
    echo = profile.echo;
    errorMode = profile.errorMode;
    textMode = profile.textMode;
}

void CUnitModem::Changed() {
    if (onChange) {
        onChange(state);
    }
}
