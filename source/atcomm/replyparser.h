#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Pure readers of the single values that the controllers take out of the module's replies.
// Each takes the whole reply as collected (echo, data lines, unsolicited reports and final
// result included) and reads its value from its own response line only: the first line that
// starts with the reply's prefix ("+CPIN: ", "^SPIC: ", ...) and is not an unsolicited report
// (see CReplyLines). Every other line is passed over, so a `RING`, `+CMTI:` or `+CREG:` report
// anywhere in the reply changes nothing. What each gives when its line is missing is what the
// controllers expect.

// Which code the SIM asks for; the numbers are those the PIN dialog is given.
enum class EPinKind : uint8_t {
    SimPin = 0,
    SimPuk = 1,
    SimPin2 = 2,
    SimPuk2 = 3,
    None = 4,  // nothing asked yet
    Ready = 5,
};

// The status on the "+CPIN: " line of an "AT+CPIN?" reply; nothing when there is no such line
// or it names none of the known statuses. "SIM PIN2" and "SIM PUK2" are told apart from the
// plain PIN and PUK.
std::optional<EPinKind> ParsePinStatus(const std::string& reply);

// The tries left on the "^SPIC: " line of an "AT^SPIC" reply: the integer after the prefix up
// to the end of the line, -1 when that text is not a number; nothing when there is no such line.
std::optional<int32_t> ParseTriesLeft(const std::string& reply);

// The total on the "+CPBS: " line of an "AT+CPBS?" reply (store, used, total): its third
// field, 0 when there is no such line or that field is not a number.
int32_t ParsePhonebookCapacity(const std::string& reply);

// The positions in use of an "AT+CPBS?" reply ("+CPBS: \"SM\",12,250" gives 12); -1 when the
// reply names none.
int32_t ParsePhonebookUsed(const std::string& reply);

// A store's total is believable only from 1 to this many positions; anything else means the
// reply was not understood, and working with it would read or write nonsense ranges.
constexpr int32_t kMaxPhonebookCapacity = 1000;
bool IsValidPhonebookCapacity(int32_t capacity);

// The number field of a "+CPBR: " entry line (position, quoted number, type, quoted text): the
// text after the line's first comma that is immediately followed by a double quote, up to the
// next double quote. Only the line of `position` counts when it is given, else the first entry
// line. Empty when there is no such line or pair (an empty position answers "\r\nOK\r\n" only).
std::string ParseQuotedValue(const std::string& reply,
                             std::optional<int32_t> position = std::nullopt);

// The signal quality on the "+CSQ: " line of an "AT+CSQ" reply: its first field, or "-1" when
// there is no such line.
std::string ParseSignalQuality(const std::string& reply);

// The registration status of an "AT+CREG?" reply, whatever presentation mode the module is in:
// the second field of the answer's "+CREG: " line, the one with 2 or 4 fields ("+CREG: 0,1"
// and "+CREG: 2,1,\"5E25\",\"605F\"" both give "1"). A line of 1 or 3 fields is the
// unsolicited report and is passed over. "0" when the reply has no answer line.
std::string ParseRegistrationStatus(const std::string& reply);

// The storage index on the "+CMGW: " line of an "AT+CMGW" text reply: the integer after the
// prefix up to the end of the line; -1 when there is no such line, or it is not a number or
// below 1, since no message is stored there.
int32_t ParseStoredIndex(const std::string& reply);

// What a module says about itself in an "ATI" reply: its answer lines in order, without
// control bytes, the echoed command, empty lines, unsolicited reports and the final result. The
// first names the maker and the second the model on every module family the tool supports.
std::vector<std::string> ParseIdentificationLines(const std::string& reply);

// The serial number (IMEI) in an "AT+CGSN" reply: the first answer line that, after an optional
// "+CGSN: " prefix and the quotes some modules put around it, is 14 to 17 decimal digits (the
// IMEI, with or without its check digit, or the IMEISV). Empty when there is no such line.
std::string ParseSerialNumber(const std::string& reply);
