#pragma once

#include <cstddef>
#include <map>
#include <string>

// One phonebook position. Texts are GSM code values, as the module stores them.
struct CPhonebookEntry {
    std::string number;
    int type = 129;
    std::string text;

    bool operator==(const CPhonebookEntry&) const = default;
};

// A phonebook store ("ME" or "SM") with its own capacity and field lengths.
struct CPhonebook {
    int capacity = 250;
    int numberLength = 20;
    int textLength = 14;
    std::map<int, CPhonebookEntry> entries;  // by position, 1 to capacity

    bool operator==(const CPhonebook&) const = default;
};

// A message in the SMS store. `status` is one of "REC UNREAD", "REC READ", "STO UNSENT",
// "STO SENT"; `timeStamp` ("24/05/01,12:00:00+08") belongs to received messages only.
struct CStoredSms {
    std::string status = "STO UNSENT";
    std::string address;
    std::string text;  // GSM code values
    std::string timeStamp;

    bool operator==(const CStoredSms&) const = default;
};

// The SIM's codes and counters. What the SIM asks for at power-on follows from them: a SIM with
// no PUK tries left is blocked, one with no PIN tries left asks for the PUK, a locked one for
// the PIN, one with `askPin2` for PIN2 (or PUK2 once PIN2 is used up); otherwise it is ready.
struct CSimLock {
    bool lock = false;
    std::string pin = "1234";
    std::string puk = "12345678";
    int pinTries = 3;
    int pukTries = 10;
    bool askPin2 = false;
    std::string pin2 = "5678";
    std::string puk2 = "87654321";
    int pin2Tries = 3;
    int puk2Tries = 10;
    // How long the SIM stays busy (phonebook and SMS commands refused) after a correct code.
    int busyMs = 0;

    bool operator==(const CSimLock&) const = default;
};

struct CNetwork {
    int rssi = 20;  // +CSQ first value, 0..31 or 99
    int ber = 99;
    int registration =
        1;             // +CREG <stat>: 0 not registered, 1 home, 2 searching, 3 denied, 5 roaming
    int cregMode = 0;  // the <n> in force at power-on
    std::string lac = "5E25";
    std::string cellId = "605F";

    bool operator==(const CNetwork&) const = default;
};

// The settings AT&W stores and the module restores at power-on.
struct CModemProfile {
    bool echo = true;
    int errorMode = 0;      // +CMEE
    bool textMode = false;  // +CMGF

    bool operator==(const CModemProfile&) const = default;
};

// Everything the simulated unit remembers between runs.
struct CUnitState {
    std::string maker = "SIEMENS";
    std::string model = "MC35i";
    std::string revision = "REVISION 02.00";
    // The module's serial number, which AT+CGSN gives.
    std::string imei = "351234567890124";
    CModemProfile profile;
    CSimLock sim;
    CNetwork network;
    std::map<std::string, CPhonebook> phonebooks;  // "ME" and "SM"
    int smsCapacity = 30;
    std::map<int, CStoredSms> messages;  // by storage index, 1 to smsCapacity

    // A unit with empty stores: "SM" of 250 positions, "ME" of 100, 30 message slots.
    CUnitState();

    bool operator==(const CUnitState&) const = default;

    // JSON text of the state file; texts travel as CGsmAlphabet::ToUtf8 gives them.
    std::string ToJson() const;
    // Missing members take the values of a new unit; a member of the wrong type, a number out
    // of range, an unknown store name or message status, or a text outside the alphabet throws
    // std::invalid_argument naming the member.
    static CUnitState FromJson(const std::string& json);

    // The largest state file read: a full unit (two stores of 10000 positions, 1000 messages)
    // takes a few MiB.
    static constexpr std::size_t kMaxFileBytes = std::size_t{16} << 20;

    // Throws std::runtime_error, naming the file and the cause, when the file cannot be read
    // or parsed, is not a regular file (a FIFO, a folder, a device) or is larger than
    // kMaxFileBytes. Never waits on what it opens.
    static CUnitState Load(const std::string& path);
    // Writes a temporary file beside `path` and renames it over `path`, so a reader never sees
    // half a state. Throws std::runtime_error on failure.
    void Save(const std::string& path) const;
};
