#include "unitsim/unitstate.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
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

template <class T>
void Take(const json& object, const char* key, T& target) {
    if (object.contains(key)) {
        target = object.at(key).get<T>();
    }
}

void Range(int value, int low, int high, const std::string& what) {
    Require(value >= low && value <= high,
            what + " must be " + std::to_string(low) + " to " + std::to_string(high));
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

CPhonebook PhonebookFromJson(const std::string& name, const json& object) {
    CPhonebook book;
    Take(object, "capacity", book.capacity);
    Take(object, "numberLength", book.numberLength);
    Take(object, "textLength", book.textLength);
    Range(book.capacity, 1, 10000, name + " capacity");
    Range(book.numberLength, 1, 80, name + " numberLength");
    Range(book.textLength, 0, 80, name + " textLength");
    if (object.contains("entries")) {
        for (const json& item : object.at("entries")) {
            const int position = item.at("position").get<int>();
            Range(position, 1, book.capacity, name + " position");
            CPhonebookEntry entry;
            Take(item, "number", entry.number);
            Take(item, "type", entry.type);
            std::string text;
            Take(item, "text", text);
            entry.text = CGsmAlphabet::FromUtf8(text);
            Require(IsDialString(entry.number) &&
                        static_cast<int>(entry.number.size()) <= book.numberLength,
                    name + " position " + std::to_string(position) + ": bad number");
            Require(static_cast<int>(entry.text.size()) <= book.textLength,
                    name + " position " + std::to_string(position) + ": text too long");
            Range(entry.type, 128, 255, name + " type");
            Require(book.entries.emplace(position, entry).second,
                    name + " position " + std::to_string(position) + " given twice");
        }
    }
    return book;
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
        Take(root, "maker", state.maker);
        Take(root, "model", state.model);
        Take(root, "revision", state.revision);
        Take(root, "imei", state.imei);
        if (root.contains("profile")) {
            const json& p = root.at("profile");
            Take(p, "echo", state.profile.echo);
            Take(p, "errorMode", state.profile.errorMode);
            Take(p, "textMode", state.profile.textMode);
            Range(state.profile.errorMode, 0, 2, "profile errorMode");
        }
        if (root.contains("sim")) {
            const json& s = root.at("sim");
            CSimLock& sim = state.sim;
            Take(s, "lock", sim.lock);
            Take(s, "pin", sim.pin);
            Take(s, "puk", sim.puk);
            Take(s, "pinTries", sim.pinTries);
            Take(s, "pukTries", sim.pukTries);
            Take(s, "askPin2", sim.askPin2);
            Take(s, "pin2", sim.pin2);
            Take(s, "puk2", sim.puk2);
            Take(s, "pin2Tries", sim.pin2Tries);
            Take(s, "puk2Tries", sim.puk2Tries);
            Take(s, "busyMs", sim.busyMs);
            Require(IsCode(sim.pin) && IsCode(sim.pin2), "PIN and PIN2 must be 4 to 8 digits");
            Require(
                IsCode(sim.puk) && sim.puk.size() == 8 && IsCode(sim.puk2) && sim.puk2.size() == 8,
                "PUK and PUK2 must be 8 digits");
            Range(sim.pinTries, 0, 3, "pinTries");
            Range(sim.pin2Tries, 0, 3, "pin2Tries");
            Range(sim.pukTries, 0, 10, "pukTries");
            Range(sim.puk2Tries, 0, 10, "puk2Tries");
            Range(sim.busyMs, 0, 600000, "busyMs");
        }
        if (root.contains("network")) {
            const json& n = root.at("network");
            Take(n, "rssi", state.network.rssi);
            Take(n, "ber", state.network.ber);
            Take(n, "registration", state.network.registration);
            Take(n, "cregMode", state.network.cregMode);
            Take(n, "lac", state.network.lac);
            Take(n, "cellId", state.network.cellId);
            Range(state.network.registration, 0, 5, "registration");
            Range(state.network.cregMode, 0, 2, "cregMode");
        }
        if (root.contains("phonebooks")) {
            state.phonebooks.clear();
            for (const auto& [name, object] : root.at("phonebooks").items()) {
                Require(name == "ME" || name == "SM", "unknown phonebook store \"" + name + "\"");
                state.phonebooks[name] = PhonebookFromJson(name, object);
            }
            // A module always offers both stores; one left out of the file is empty.
            state.phonebooks.try_emplace("SM", CUnitState().phonebooks.at("SM"));
            state.phonebooks.try_emplace("ME", CUnitState().phonebooks.at("ME"));
        }
        if (root.contains("sms")) {
            const json& s = root.at("sms");
            Take(s, "capacity", state.smsCapacity);
            Range(state.smsCapacity, 1, 1000, "sms capacity");
            if (s.contains("messages")) {
                for (const json& item : s.at("messages")) {
                    const int index = item.at("index").get<int>();
                    Range(index, 1, state.smsCapacity, "message index");
                    CStoredSms sms;
                    Take(item, "status", sms.status);
                    Take(item, "address", sms.address);
                    Take(item, "time", sms.timeStamp);
                    std::string text;
                    Take(item, "text", text);
                    sms.text = CGsmAlphabet::FromUtf8(text);
                    Require(IsKnownStatus(sms.status),
                            "unknown message status \"" + sms.status + "\"");
                    Require(IsDialString(sms.address) && sms.address.size() <= 20,
                            "message " + std::to_string(index) + ": bad address");
                    Require(state.messages.emplace(index, sms).second,
                            "message index " + std::to_string(index) + " given twice");
                }
            }
        }
    } catch (const json::exception& e) {
        throw std::invalid_argument(std::string("state: ") + e.what());
    }
    return state;
}

CUnitState CUnitState::Load(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw std::runtime_error("cannot read the state file " + path);
    }
    std::stringstream text;
    text << in.rdbuf();
    try {
        return FromJson(text.str());
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
