#include "unitsim/unitmodem.h"

#include <algorithm>
#include <cctype>

#include "unitsim/gsmalphabet.h"

namespace {

constexpr std::size_t kMaxLine = 1024;       // longer command lines are refused
constexpr std::size_t kMaxTextBytes = 160;   // one SMS of the 7-bit alphabet
constexpr std::size_t kMaxTextInput = 4096;  // what is kept of a text that does not end
constexpr int kPinTries = 3;
constexpr int kPukTries = 10;

const char* const kListStatuses[] = {"REC UNREAD", "REC READ", "STO UNSENT", "STO SENT", "ALL"};
const char kErrorResult[] = "\r\nERROR\r\n";

std::string Upper(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return text;
}

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

bool IsDigits(const std::string& text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool IsCode(const std::string& code) {
    return code.size() >= 4 && code.size() <= 8 && IsDigits(code);
}

bool IsDialString(const std::string& number) {
    for (std::size_t i = 0; i < number.size(); ++i) {
        const char c = number[i];
        if (!((c >= '0' && c <= '9') || c == '*' || c == '#' || (c == '+' && i == 0))) {
            return false;
        }
    }
    return true;
}

bool IsReceived(const std::string& status) {
    return status.rfind("REC", 0) == 0;
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

bool IsListStatus(const std::string& status) {
    return std::find(std::begin(kListStatuses), std::end(kListStatuses), status) !=
           std::end(kListStatuses);
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

namespace {

bool ToInt(const std::string& text, int& value) {
    if (!IsDigits(text) || text.size() > 9) {
        return false;
    }
    value = std::stoi(text);
    return true;
}

}  // namespace

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

std::string CUnitModem::CheckCode(const std::string& code, const std::string& expected, int& tries,
                                  SimState onExhausted) {
    // A code of the wrong form never reaches the SIM and so costs no try.
    if (!IsCode(code)) {
        return CmeError(16);
    }
    if (code == expected) {
        return {};
    }
    tries = std::max(tries - 1, 0);
    if (tries == 0) {
        sim = onExhausted;
    }
    Changed();
    return CmeError(16);
}

std::string CUnitModem::Pin(const std::string& mode, const std::vector<Param>& params, bool pin2) {
    if (mode == "test") {
        return Ok();
    }
    if (mode == "read") {
        if (sim == SimState::Blocked) {
            return CmeError(13);
        }
        // AT+CPIN2? speaks of PIN2 and PUK2 only.
        const bool asksPin1 = sim == SimState::SimPin || sim == SimState::SimPuk;
        return Info(
            {std::string(pin2 ? "+CPIN2: " : "+CPIN: ") + (pin2 && asksPin1 ? "READY" : Asked())});
    }
    if (mode != "set" || params.empty() || params.size() > 2) {
        return Error();
    }
    if (sim == SimState::Blocked) {
        return CmeError(13);
    }
    const bool asksPin1 = sim == SimState::SimPin || sim == SimState::SimPuk;
    const bool asksPin2 = sim == SimState::SimPin2 || sim == SimState::SimPuk2;
    // AT+CPIN answers whatever the SIM asks for; AT+CPIN2 only a PIN2 or PUK2 request.
    if (!(asksPin1 && !pin2) && !asksPin2) {
        return CmeError(3);
    }
    CSimLock& lock = state.sim;
    const std::string& code = params[0].value;
    const std::string newCode = params.size() > 1 ? params[1].value : std::string();
    std::string failure;
    switch (sim) {
        case SimState::SimPin:
            failure = CheckCode(code, lock.pin, lock.pinTries, SimState::SimPuk);
            break;
        case SimState::SimPin2:
            failure = CheckCode(code, lock.pin2, lock.pin2Tries, SimState::SimPuk2);
            break;
        case SimState::SimPuk:
        case SimState::SimPuk2: {
            if (!IsCode(newCode)) {
                return CmeError(16);
            }
            const bool first = sim == SimState::SimPuk;
            failure = CheckCode(code, first ? lock.puk : lock.puk2,
                                first ? lock.pukTries : lock.puk2Tries,
                                first ? SimState::Blocked : SimState::Ready);
            if (failure.empty()) {
                (first ? lock.pin : lock.pin2) = newCode;
                (first ? lock.pukTries : lock.puk2Tries) = kPukTries;
            }
            break;
        }
        default:
            break;
    }
    if (!failure.empty()) {
        return failure;
    }
    if (asksPin1) {
        lock.pinTries = kPinTries;
    } else {
        lock.pin2Tries = kPinTries;
    }
    sim = SimState::Ready;
    Changed();
    StartBusy();
    return Ok();
}

std::string CUnitModem::Spic(const std::string& mode, const std::vector<Param>&) {
    if (sim == SimState::Blocked) {
        return CmeError(13);
    }
    const CSimLock& lock = state.sim;
    if (mode == "exec") {
        const int tries = sim == SimState::SimPuk    ? lock.pukTries
                          : sim == SimState::SimPin2 ? lock.pin2Tries
                          : sim == SimState::SimPuk2 ? lock.puk2Tries
                                                     : lock.pinTries;
        return Info({"^SPIC: " + std::to_string(tries)});
    }
    if (mode == "read") {
        return Info({std::string("^SPIC: ") + Asked()});
    }
    return mode == "test" ? Ok() : Error();
}

std::string CUnitModem::Clck(const std::string& mode, const std::vector<Param>& params) {
    if (mode == "test") {
        return Info({"+CLCK: (\"SC\")"});
    }
    int lockMode = 0;
    if (mode != "set" || params.size() < 2 || !ToInt(params[1].value, lockMode) || lockMode > 2) {
        return Error();
    }
    if (Upper(params[0].value) != "SC") {
        return CmeError(4);
    }
    // The lock is the SIM's: it needs the PIN entered but not the SIM's stores, so a busy SIM
    // still takes it.
    const int block = PhonebookBlock();
    if (block != 0 && block != 14) {
        return CmeError(block);
    }
    CSimLock& lock = state.sim;
    if (lockMode == 2) {
        return Info({std::string("+CLCK: ") + (lock.lock ? "1" : "0")});
    }
    if (params.size() < 3) {
        return Error();
    }
    const std::string failure =
        CheckCode(params[2].value, lock.pin, lock.pinTries, SimState::SimPuk);
    if (!failure.empty()) {
        return failure;
    }
    lock.pinTries = kPinTries;
    lock.lock = lockMode == 1;
    Changed();
    return Ok();
}

CPhonebook& CUnitModem::Book() {
    return state.phonebooks[store];
}

std::string CUnitModem::Cpbs(const std::string& mode, const std::vector<Param>& params) {
    if (mode == "test") {
        return Info({"+CPBS: (\"ME\",\"SM\")"});
    }
    if (const int block = PhonebookBlock()) {
        return CmeError(block);
    }
    if (mode == "read") {
        const CPhonebook& book = Book();
        return Info({"+CPBS: \"" + store + "\"," + std::to_string(book.entries.size()) + "," +
                     std::to_string(book.capacity)});
    }
    if (mode != "set" || params.size() != 1) {
        return Error();
    }
    const std::string name = Upper(params[0].value);
    if (name != "ME" && name != "SM") {
        return CmeError(3);
    }
    store = name;
    return Ok();
}

std::string CUnitModem::Cpbr(const std::string& mode, const std::vector<Param>& params) {
    if (const int block = PhonebookBlock()) {
        return CmeError(block);
    }
    const CPhonebook& book = Book();
    if (mode == "test") {
        return Info({"+CPBR: (1-" + std::to_string(book.capacity) + ")," +
                     std::to_string(book.numberLength) + "," + std::to_string(book.textLength)});
    }
    int first = 0;
    int last = 0;
    if (mode != "set" || params.empty() || params.size() > 2 || !ToInt(params[0].value, first) ||
        (params.size() == 2 && !ToInt(params[1].value, last))) {
        return Error();
    }
    if (params.size() == 1) {
        last = first;
    }
    if (first < 1 || last > book.capacity || first > last) {
        return CmeError(21);
    }
    std::vector<std::string> lines;
    for (auto it = book.entries.lower_bound(first); it != book.entries.end() && it->first <= last;
         ++it) {
        const CPhonebookEntry& entry = it->second;
        lines.push_back("+CPBR: " + std::to_string(it->first) + ",\"" +
                        CGsmAlphabet::EscapeQuoted(entry.number) + "\"," +
                        std::to_string(entry.type) + ",\"" +
                        CGsmAlphabet::EscapeQuoted(entry.text) + "\"");
    }
    // An empty range is not an error: only the occupied positions are listed.
    return lines.empty() ? Ok() : Info(lines);
}

std::string CUnitModem::Cpbw(const std::string& mode, const std::vector<Param>& params) {
    if (const int block = PhonebookBlock()) {
        return CmeError(block);
    }
    CPhonebook& book = Book();
    if (mode == "test") {
        return Info({"+CPBW: (1-" + std::to_string(book.capacity) + ")," +
                     std::to_string(book.numberLength) + ",(128-255)," +
                     std::to_string(book.textLength)});
    }
    if (mode != "set" || params.empty() || params.size() > 4) {
        return Error();
    }
    int position = 0;
    if (params[0].present) {
        if (!ToInt(params[0].value, position)) {
            return Error();
        }
        if (position < 1 || position > book.capacity) {
            return CmeError(21);
        }
    }
    const std::string number =
        misstore ? *misstore : (params.size() > 1 ? params[1].value : std::string());
    const std::string text = params.size() > 3 ? params[3].value : std::string();
    int type = 0;
    if (params.size() > 2 && params[2].present &&
        (!ToInt(params[2].value, type) || type < 128 || type > 255)) {
        return Error();
    }
    if (number.empty() && text.empty()) {
        // Nothing to store: the position is emptied, whether it held anything or not.
        if (position == 0) {
            return Error();
        }
        if (book.entries.erase(position) > 0) {
            Changed();
        }
        return Ok();
    }
    if (static_cast<int>(number.size()) > book.numberLength) {
        return CmeError(26);
    }
    if (!IsDialString(number)) {
        return CmeError(27);
    }
    if (static_cast<int>(text.size()) > book.textLength) {
        return CmeError(24);
    }
    if (position == 0) {
        for (int p = 1; p <= book.capacity && position == 0; ++p) {
            if (book.entries.count(p) == 0) {
                position = p;
            }
        }
        if (position == 0) {
            return CmeError(20);
        }
    }
    // The number's own "+" decides whether it is international, whatever type was given.
    book.entries[position] = {number, number.rfind('+', 0) == 0 ? 145 : 129, text};
    Changed();
    return Ok();
}

std::string CUnitModem::Cmgl(const std::string& mode, const std::vector<Param>& params) {
    if (mode == "test") {
        return Info({"+CMGL: (\"REC UNREAD\",\"REC READ\",\"STO UNSENT\",\"STO SENT\",\"ALL\")"});
    }
    if (const int block = SmsBlock(true)) {
        return CmsError(block);
    }
    std::string wanted = "REC UNREAD";
    if (mode == "set" && params.size() == 1) {
        wanted = Upper(params[0].value);
    } else if (mode != "exec") {
        return Error();
    }
    if (!IsListStatus(wanted)) {
        return CmsError(305);
    }
    std::vector<std::string> lines;
    bool changed = false;
    for (auto& [index, sms] : state.messages) {
        if (wanted != "ALL" && sms.status != wanted) {
            continue;
        }
        std::string header =
            "+CMGL: " + std::to_string(index) + ",\"" + sms.status + "\",\"" + sms.address + "\",,";
        if (IsReceived(sms.status)) {
            header += "\"" + sms.timeStamp + "\"";
        }
        lines.push_back(header);
        lines.push_back(CGsmAlphabet::EscapeForListing(sms.text));
        if (sms.status == "REC UNREAD") {
            sms.status = "REC READ";
            changed = true;
        }
    }
    if (changed) {
        Changed();
    }
    return lines.empty() ? Ok() : Info(lines);
}

std::string CUnitModem::Cmgr(const std::string& mode, const std::vector<Param>& params) {
    if (mode == "test") {
        return Ok();
    }
    if (const int block = SmsBlock(true)) {
        return CmsError(block);
    }
    int index = 0;
    if (mode != "set" || params.size() != 1 || !ToInt(params[0].value, index)) {
        return Error();
    }
    if (index < 1 || index > state.smsCapacity) {
        return CmsError(321);
    }
    const auto found = state.messages.find(index);
    if (found == state.messages.end()) {
        return Ok();
    }
    CStoredSms& sms = found->second;
    std::string header = "+CMGR: \"" + sms.status + "\",\"" + sms.address + "\",";
    if (IsReceived(sms.status)) {
        header += ",\"" + sms.timeStamp + "\"";
    }
    const std::string reply = Info({header, CGsmAlphabet::EscapeForListing(sms.text)});
    if (sms.status == "REC UNREAD") {
        sms.status = "REC READ";
        Changed();
    }
    return reply;
}

std::string CUnitModem::Cmgw(const std::string& mode, const std::vector<Param>& params) {
    if (mode == "test") {
        return Ok();
    }
    if (const int block = SmsBlock(true)) {
        return CmsError(block);
    }
    std::string address;
    std::string status = "STO UNSENT";
    if (mode == "set") {
        if (params.size() > 3) {
            return Error();
        }
        address = params[0].value;
        int type = 0;
        if (params.size() > 1 && params[1].present &&
            (!ToInt(params[1].value, type) || type < 128 || type > 255)) {
            return CmsError(305);
        }
        if (params.size() > 2 && params[2].present) {
            status = Upper(params[2].value);
            if (status == "ALL" || !IsListStatus(status)) {
                return CmsError(305);
            }
        }
    } else if (mode != "exec") {
        return Error();
    }
    if (address.size() > 20 || !IsDialString(address)) {
        return CmsError(305);
    }
    pendingAddress = address;
    pendingStatus = status;
    text.clear();
    inText = true;
    return "\r\n> ";
}

int CUnitModem::FreeSmsIndex() {
    std::vector<int> free;
    for (int index = 1; index <= state.smsCapacity && free.size() < 2; ++index) {
        if (state.messages.count(index) == 0) {
            free.push_back(index);
        }
    }
    if (free.empty()) {
        return 0;
    }
    if (storeFaultAt > 0 && --storeFaultAt == 0 && free.size() > 1) {
        return free[1];
    }
    return free[0];
}

std::string CUnitModem::Cmgd(const std::string& mode, const std::vector<Param>& params) {
    if (mode == "test") {
        return Info({"+CMGD: (1-" + std::to_string(state.smsCapacity) + "),(0-4)"});
    }
    if (const int block = SmsBlock()) {
        return CmsError(block);
    }
    int index = 0;
    int flag = 0;
    if (mode != "set" || params.empty() || params.size() > 2 || !ToInt(params[0].value, index) ||
        (params.size() == 2 && params[1].present && !ToInt(params[1].value, flag))) {
        return Error();
    }
    if (index < 1 || index > state.smsCapacity) {
        return CmsError(321);
    }
    if (flag > 4) {
        return CmsError(305);
    }
    // Flags of TS 27.005: 0 the index only, 1 all read, 2 read and sent, 3 read, sent and
    // unsent, 4 all.
    std::size_t erased = 0;
    if (flag == 0) {
        erased = state.messages.erase(index);
    } else {
        for (auto it = state.messages.begin(); it != state.messages.end();) {
            const std::string& status = it->second.status;
            const bool drop = flag == 4 || status == "REC READ" ||
                              (flag >= 2 && status == "STO SENT") ||
                              (flag == 3 && status == "STO UNSENT");
            if (drop) {
                it = state.messages.erase(it);
                ++erased;
            } else {
                ++it;
            }
        }
    }
    if (erased > 0) {
        Changed();
    }
    return Ok();
}

std::string CUnitModem::Cpms(const std::string& mode, const std::vector<Param>& params) {
    if (mode == "test") {
        return Info({"+CPMS: (\"SM\"),(\"SM\"),(\"SM\")"});
    }
    if (const int block = SmsBlock()) {
        return CmsError(block);
    }
    const std::string counts =
        std::to_string(state.messages.size()) + "," + std::to_string(state.smsCapacity);
    if (mode == "read") {
        return Info({"+CPMS: \"SM\"," + counts + ",\"SM\"," + counts + ",\"SM\"," + counts});
    }
    if (mode != "set" || params.empty() || params.size() > 3) {
        return Error();
    }
    for (const Param& param : params) {
        if (Upper(param.value) != "SM") {
            return CmsError(302);
        }
    }
    return Info({"+CPMS: " + counts + "," + counts + "," + counts});
}

std::string CUnitModem::Csq(const std::string& mode, const std::vector<Param>&) {
    if (mode == "exec") {
        return Info({"+CSQ: " + std::to_string(state.network.rssi) + "," +
                     std::to_string(state.network.ber)});
    }
    return mode == "test" ? Info({"+CSQ: (0-31,99),(0-7,99)"}) : Error();
}

std::string CUnitModem::Creg(const std::string& mode, const std::vector<Param>& params) {
    const CNetwork& network = state.network;
    if (mode == "read") {
        std::string line =
            "+CREG: " + std::to_string(cregMode) + "," + std::to_string(network.registration);
        if (cregMode == 2 && (network.registration == 1 || network.registration == 5)) {
            line += ",\"" + network.lac + "\",\"" + network.cellId + "\"";
        }
        return Info({line});
    }
    if (mode == "test") {
        return Info({"+CREG: (0-2)"});
    }
    int value = 0;
    if (mode != "set" || params.size() != 1 || !ToInt(params[0].value, value) || value > 2) {
        return Error();
    }
    cregMode = value;
    return Ok();
}
