#include "unitsim/unitstate.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstring>
#include <nlohmann/json.hpp>
#include <optional>
#include <stdexcept>

#include "unitsim/gsmalphabet.h"

using json = nlohmann::ordered_json;

namespace {

const char* const kStatuses[] = {"REC UNREAD", "REC READ", "STO UNSENT", "STO SENT"};

bool IsKnownStatus(const std::string& status) {
    for (const char* known : kStatuses) {
        if (status == known) {
            return true;
        }
    }
    return false;
}

bool IsDialString(const std::string& number) {
    for (std::size_t i = 0; i < number.size(); ++i) {
        const char c = number[i];
        const bool ok = (c >= '0' && c <= '9') || c == '*' || c == '#' || (c == '+' && i == 0);
        if (!ok) {
            return false;
        }
    }
    return true;
}

bool IsCode(const std::string& code) {
    if (code.size() < 4 || code.size() > 8) {
        return false;
    }
    for (const char c : code) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    return true;
}

void Require(bool condition, const std::string& what) {
    if (!condition) {
        throw std::invalid_argument("state: " + what);
    }
}

const json kNoEntries = json::array();

// Every member is checked for its type before it is read, and every number for its range
// before it is narrowed: a float or a huge value must be refused by name, not converted (a
// float out of int range converts with undefined behaviour).
const json* Member(const json& object, const char* key) {
    const auto found = object.find(key);
    return found == object.end() ? nullptr : &*found;
}

const json& Object(const json& value, const std::string& what) {
    Require(value.is_object(), what + " must be an object");
    return value;
}

const json& Array(const json& value, const std::string& what) {
    Require(value.is_array(), what + " must be an array");
    return value;
}

void TakeText(const json& object, const char* key, std::string& target, const std::string& what) {
    if (const json* value = Member(object, key)) {
        Require(value->is_string(), what + " must be a string");
        target = value->get<std::string>();
    }
}

void TakeFlag(const json& object, const char* key, bool& target, const std::string& what) {
    if (const json* value = Member(object, key)) {
        Require(value->is_boolean(), what + " must be true or false");
        target = value->get<bool>();
    }
}

std::string GsmText(const std::string& utf8, const std::string& what) {
    try {
        return CGsmAlphabet::FromUtf8(utf8);
    } catch (const std::invalid_argument& e) {
        throw std::invalid_argument("state: " + what + ": " + e.what());
    }
}

std::string RangeText(int low, int high, std::optional<int> alsoAllowed) {
    std::string text = std::to_string(low) + " to " + std::to_string(high);
    if (alsoAllowed) {
        text += " or " + std::to_string(*alsoAllowed);
    }
    return text;
}

int Whole(const json& value, int low, int high, const std::string& what,
          std::optional<int> alsoAllowed = std::nullopt) {
    Require(value.is_number_integer(), what + " must be a whole number");
    // Read in the JSON value's own width, so a huge number is compared, never wrapped.
    std::int64_t number = 0;
    if (value.is_number_unsigned()) {
        const std::uint64_t big = value.get<std::uint64_t>();
        number = big > static_cast<std::uint64_t>(INT64_MAX) ? INT64_MAX
                                                             : static_cast<std::int64_t>(big);
    } else {
        number = value.get<std::int64_t>();
    }
    Require((number >= low && number <= high) || (alsoAllowed && number == *alsoAllowed),
            what + " must be " + RangeText(low, high, alsoAllowed));
    return static_cast<int>(number);
}

void TakeWhole(const json& object, const char* key, int& target, int low, int high,
               const std::string& what, std::optional<int> alsoAllowed = std::nullopt) {
    if (const json* value = Member(object, key)) {
        target = Whole(*value, low, high, what, alsoAllowed);
    }
}

json PhonebookToJson(const CPhonebook& book) {
    json entries = json::array();
    for (const auto& [position, entry] : book.entries) {
        entries.push_back({{"position", position},
                           {"number", entry.number},
                           {"type", entry.type},
                           {"text", CGsmAlphabet::ToUtf8(entry.text)}});
    }
    return {{"capacity", book.capacity},
            {"numberLength", book.numberLength},
            {"textLength", book.textLength},
            {"entries", entries}};
}

CPhonebook PhonebookFromJson(const std::string& name, const json& value) {
    const std::string where = "phonebooks." + name;
    const json& object = Object(value, where);
    CPhonebook book;
    TakeWhole(object, "capacity", book.capacity, 1, 10000, where + ".capacity");
    TakeWhole(object, "numberLength", book.numberLength, 1, 80, where + ".numberLength");
    TakeWhole(object, "textLength", book.textLength, 0, 80, where + ".textLength");
    const json* entries = Member(object, "entries");
    if (entries == nullptr) {
        return book;
    }
    for (const json& listed : Array(*entries, where + ".entries")) {
        const json& item = Object(listed, where + " entry");
        const json* at = Member(item, "position");
        Require(at != nullptr, where + " entry without a position");
        const int position = Whole(*at, 1, book.capacity, where + " position");
        const std::string entryName = where + " position " + std::to_string(position);
        CPhonebookEntry entry;
        TakeText(item, "number", entry.number, entryName + " number");
        TakeWhole(item, "type", entry.type, 128, 255, entryName + " type");
        std::string text;
        TakeText(item, "text", text, entryName + " text");
        entry.text = GsmText(text, entryName + " text");
        Require(IsDialString(entry.number) &&
                    static_cast<int>(entry.number.size()) <= book.numberLength,
                entryName + ": bad number");
        Require(static_cast<int>(entry.text.size()) <= book.textLength,
                entryName + ": text too long");
        Require(book.entries.emplace(position, entry).second, entryName + " given twice");
    }
    return book;
}

const char* FileKind(mode_t mode) {
    if (S_ISDIR(mode)) {
        return "a folder";
    }
    if (S_ISFIFO(mode)) {
        return "a FIFO";
    }
    if (S_ISCHR(mode) || S_ISBLK(mode)) {
        return "a device";
    }
    if (S_ISSOCK(mode)) {
        return "a socket";
    }
    return "not a plain file";
}

// Reads the whole file, up to one byte past the bound so that a file that grew after it was
// measured is refused too. Returns what went wrong, or nothing.
std::string ReadAll(int fd, std::string& text) {
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return std::strerror(errno);
        }
        if (n == 0) {
            return {};
        }
        text.append(buffer, static_cast<std::size_t>(n));
        if (text.size() > CUnitState::kMaxFileBytes) {
            return "it is larger than " + std::to_string(CUnitState::kMaxFileBytes) + " bytes";
        }
    }
}

}  // namespace

CUnitState::CUnitState() {
    phonebooks["SM"].capacity = 250;
    phonebooks["ME"].capacity = 100;
}

std::string CUnitState::ToJson() const {
    json books = json::object();
    for (const auto& [name, book] : phonebooks) {
        books[name] = PhonebookToJson(book);
    }
    json list = json::array();
    for (const auto& [index, sms] : messages) {
        json item = {{"index", index},
                     {"status", sms.status},
                     {"address", sms.address},
                     {"text", CGsmAlphabet::ToUtf8(sms.text)}};
        if (!sms.timeStamp.empty()) {
            item["time"] = sms.timeStamp;
        }
        list.push_back(item);
    }
    const json root = {{"maker", maker},
                       {"model", model},
                       {"revision", revision},
                       {"imei", imei},
                       {"profile",
                        {{"echo", profile.echo},
                         {"errorMode", profile.errorMode},
                         {"textMode", profile.textMode}}},
                       {"sim",
                        {{"lock", sim.lock},
                         {"pin", sim.pin},
                         {"puk", sim.puk},
                         {"pinTries", sim.pinTries},
                         {"pukTries", sim.pukTries},
                         {"askPin2", sim.askPin2},
                         {"pin2", sim.pin2},
                         {"puk2", sim.puk2},
                         {"pin2Tries", sim.pin2Tries},
                         {"puk2Tries", sim.puk2Tries},
                         {"busyMs", sim.busyMs}}},
                       {"network",
                        {{"rssi", network.rssi},
                         {"ber", network.ber},
                         {"registration", network.registration},
                         {"cregMode", network.cregMode},
                         {"lac", network.lac},
                         {"cellId", network.cellId}}},
                       {"phonebooks", books},
                       {"sms", {{"capacity", smsCapacity}, {"messages", list}}}};
    return root.dump(2) + "\n";
}

CUnitState CUnitState::FromJson(const std::string& text) {
    CUnitState state;
    json root;
    try {
        root = json::parse(text);
    } catch (const json::exception& e) {
        throw std::invalid_argument(std::string("state: not JSON: ") + e.what());
    }
    try {
        Require(root.is_object(), "the top level must be an object");
        TakeText(root, "maker", state.maker, "maker");
        TakeText(root, "model", state.model, "model");
        TakeText(root, "revision", state.revision, "revision");
        TakeText(root, "imei", state.imei, "imei");
        if (const json* found = Member(root, "profile")) {
            const json& p = Object(*found, "profile");
            TakeFlag(p, "echo", state.profile.echo, "profile.echo");
            TakeWhole(p, "errorMode", state.profile.errorMode, 0, 2, "profile.errorMode");
            TakeFlag(p, "textMode", state.profile.textMode, "profile.textMode");
        }
        if (const json* found = Member(root, "sim")) {
            const json& s = Object(*found, "sim");
            CSimLock& sim = state.sim;
            TakeFlag(s, "lock", sim.lock, "sim.lock");
            TakeText(s, "pin", sim.pin, "sim.pin");
            TakeText(s, "puk", sim.puk, "sim.puk");
            TakeWhole(s, "pinTries", sim.pinTries, 0, 3, "sim.pinTries");
            TakeWhole(s, "pukTries", sim.pukTries, 0, 10, "sim.pukTries");
            TakeFlag(s, "askPin2", sim.askPin2, "sim.askPin2");
            TakeText(s, "pin2", sim.pin2, "sim.pin2");
            TakeText(s, "puk2", sim.puk2, "sim.puk2");
            TakeWhole(s, "pin2Tries", sim.pin2Tries, 0, 3, "sim.pin2Tries");
            TakeWhole(s, "puk2Tries", sim.puk2Tries, 0, 10, "sim.puk2Tries");
            TakeWhole(s, "busyMs", sim.busyMs, 0, 600000, "sim.busyMs");
            Require(IsCode(sim.pin) && IsCode(sim.pin2),
                    "sim.pin and sim.pin2 must be 4 to 8 digits");
            Require(
                IsCode(sim.puk) && sim.puk.size() == 8 && IsCode(sim.puk2) && sim.puk2.size() == 8,
                "sim.puk and sim.puk2 must be 8 digits");
        }
        if (const json* found = Member(root, "network")) {
            const json& n = Object(*found, "network");
            CNetwork& network = state.network;
            // 99 is "not known or not detectable" for both.
            TakeWhole(n, "rssi", network.rssi, 0, 31, "network.rssi", 99);
            TakeWhole(n, "ber", network.ber, 0, 7, "network.ber", 99);
            TakeWhole(n, "registration", network.registration, 0, 5, "network.registration");
            TakeWhole(n, "cregMode", network.cregMode, 0, 2, "network.cregMode");
            TakeText(n, "lac", network.lac, "network.lac");
            TakeText(n, "cellId", network.cellId, "network.cellId");
        }
        if (const json* found = Member(root, "phonebooks")) {
            state.phonebooks.clear();
            for (const auto& [name, object] : Object(*found, "phonebooks").items()) {
                Require(name == "ME" || name == "SM", "unknown phonebook store \"" + name + "\"");
                state.phonebooks[name] = PhonebookFromJson(name, object);
            }
            // A module always offers both stores; one left out of the file is empty.
            state.phonebooks.try_emplace("SM", CUnitState().phonebooks.at("SM"));
            state.phonebooks.try_emplace("ME", CUnitState().phonebooks.at("ME"));
        }
        if (const json* found = Member(root, "sms")) {
            const json& s = Object(*found, "sms");
            TakeWhole(s, "capacity", state.smsCapacity, 1, 1000, "sms.capacity");
            const json* messages = Member(s, "messages");
            for (const json& listed :
                 Array(messages != nullptr ? *messages : kNoEntries, "sms.messages")) {
                const json& item = Object(listed, "sms message");
                const json* at = Member(item, "index");
                Require(at != nullptr, "sms message without an index");
                const int index = Whole(*at, 1, state.smsCapacity, "sms message index");
                const std::string messageName = "sms message " + std::to_string(index);
                CStoredSms sms;
                TakeText(item, "status", sms.status, messageName + " status");
                TakeText(item, "address", sms.address, messageName + " address");
                TakeText(item, "time", sms.timeStamp, messageName + " time");
                std::string text;
                TakeText(item, "text", text, messageName + " text");
                sms.text = GsmText(text, messageName + " text");
                Require(IsKnownStatus(sms.status),
                        messageName + ": unknown status \"" + sms.status + "\"");
                Require(IsDialString(sms.address) && sms.address.size() <= 20,
                        messageName + ": bad address");
                Require(state.messages.emplace(index, sms).second, messageName + " given twice");
            }
        }
    } catch (const json::exception& e) {
        throw std::invalid_argument(std::string("state: ") + e.what());
    }
    return state;
}

CUnitState CUnitState::Load(const std::string& path) {
    // Only a regular file is read, and it is opened without waiting: a FIFO would block the
    // open until a writer came, a device could block or never end, and a folder reads as
    // nothing at all.
    const auto refuse = [&path](const std::string& why) {
        return std::runtime_error("cannot read the state file " + path + ": " + why);
    };
    // Looked at before it is opened, since opening some devices already does something (a
    // serial line raises its control lines); the descriptor is checked again below.
    struct stat named {};
    if (::stat(path.c_str(), &named) == 0 && !S_ISREG(named.st_mode)) {
        throw refuse(std::string("it is ") + FileKind(named.st_mode) + ", not a regular file");
    }
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        throw refuse(std::strerror(errno));
    }
    struct stat info {};
    const bool known = ::fstat(fd, &info) == 0;
    const int statError = errno;
    std::string text;
    std::string problem;
    if (!known) {
        problem = std::strerror(statError);
    } else if (!S_ISREG(info.st_mode)) {
        problem = std::string("it is ") + FileKind(info.st_mode) + ", not a regular file";
    } else if (info.st_size > static_cast<off_t>(kMaxFileBytes)) {
        problem = "it is larger than " + std::to_string(kMaxFileBytes) + " bytes";
    } else {
        problem = ReadAll(fd, text);
    }
    ::close(fd);
    if (!problem.empty()) {
        throw refuse(problem);
    }
    try {
        return FromJson(text);
    } catch (const std::invalid_argument& e) {
        throw std::runtime_error(path + ": " + e.what());
    }
}

void CUnitState::Save(const std::string& path) const {
    const std::string text = ToJson();
    const std::string temp = path + ".tmp" + std::to_string(getpid());
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        throw std::runtime_error("cannot write " + temp + ": " + std::strerror(errno));
    }
    std::size_t done = 0;
    bool ok = true;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            ok = false;
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    const int error = ok ? 0 : errno;
    // No fsync: the rename already keeps readers from half a file, and a sync per phonebook
    // write would slow every reply down on a real disk.
    ::close(fd);
    if (!ok || std::rename(temp.c_str(), path.c_str()) != 0) {
        const int cause = error != 0 ? error : errno;
        ::unlink(temp.c_str());
        throw std::runtime_error("cannot write " + path + ": " + std::strerror(cause));
    }
}
