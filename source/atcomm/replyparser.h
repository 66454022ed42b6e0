#pragma once

#include <cstdint>
#include <optional>
#include <string>

// Pure readers of the single values that the controllers take out of the module's replies.
// Each takes the whole reply as collected (echo, data lines and final result included) and
// finds its value by the same fixed markers every time, so the controllers never parse text
// themselves.

// Which code the SIM asks for; the numbers are those the PIN dialog is given.
enum class EPinKind : uint8_t {
    SimPin = 0,
    SimPuk = 1,
    SimPin2 = 2,
    SimPuk2 = 3,
    None = 4,  // nothing asked yet
    Ready = 5,
};

// The status in an "AT+CPIN?" reply; nothing when the reply names none of the known ones.
// "+CPIN: SIM PIN2" and "+CPIN: SIM PUK2" are told apart from the plain PIN and PUK.
std::optional<EPinKind> ParsePinStatus(const std::string& reply);

// The tries left in an "AT^SPIC" reply: the integer between "^SPIC: " and the next carriage
// return, -1 when that text is not a number; nothing when the reply has no "^SPIC: " at all.
std::optional<int32_t> ParseTriesLeft(const std::string& reply);

// The total of an "AT+CPBS?" reply: the integer from just after the reply's second comma up to
// its second carriage return, 0 when that text is not a number. For the usual reply
// ("\r\n+CPBS: \"SM\",12,250\r\n\r\nOK\r\n") that is the store's number of positions; a
// reply that does not begin with its own line end (an echoed command before it) gives 0.
int32_t ParsePhonebookCapacity(const std::string& reply);

// A store's total is believable only from 1 to this many positions; anything else means the
// reply was not understood, and working with it would read or write nonsense ranges.
constexpr int32_t kMaxPhonebookCapacity = 1000;
bool IsValidPhonebookCapacity(int32_t capacity);

// The text after the reply's first comma that is immediately followed by a double quote, up to
// the next double quote: the number field of a "+CPBR:" entry line. Empty when there is no
// such pair (an empty position answers "\r\nOK\r\n" only).
std::string ParseQuotedValue(const std::string& reply);

// The signal quality text of an "AT+CSQ" reply: what stands between "+CSQ: " and the next
// comma, or "-1" when the reply carries no "+CSQ: ".
std::string ParseSignalQuality(const std::string& reply);

// The registration status text of an "AT+CREG?" reply, whatever presentation mode the module
// is in: the text after the first comma that follows "+CREG: ", up to the next comma or
// carriage return ("+CREG: 0,1" and "+CREG: 2,1,\"5E25\",\"605F\"" both give "1"). Empty when
// no comma follows "+CREG: "; "0" when the reply carries no "+CREG: ".
std::string ParseRegistrationStatus(const std::string& reply);

// The storage index of an "AT+CMGW" text reply: the integer between "+CMGW: " and the next
// carriage return; -1 when it is not a number or below 1, since no message is stored there.
int32_t ParseStoredIndex(const std::string& reply);
