// The simulated module's SIM (PIN, PUK and lock) and its two stores (the phonebook and the SMS
// messages): the commands that read and change the unit's state.

#include <algorithm>

#include "unitsim/gsmalphabet.h"
#include "unitsim/unitmodem.h"
#include "unitsim/unitmodemsyntax.h"

using namespace unitmodemsyntax;

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
