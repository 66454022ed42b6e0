#pragma once

#include <cstdint>
#include <string>

// The message-store exchange both SMS writers use: a header naming the destination, the
// module's text prompt, the text ended by Ctrl-Z, and the module's report of where it stored
// the message.

// What the module sends when it is ready for the message text.
inline constexpr char kSmsPrompt[] = ">";

// "AT+CMGW=\"<number>\"\r", or "AT+CMGW\r" for a message without a destination.
std::string SmsHeaderCommand(const std::string& number);
// The Windows-1252 text in the module's character set, escaped for typing after the prompt
// and ended by Ctrl-Z. It may hold zero bytes ("@"), so it must be sent with its full length.
std::string SmsTextCommand(const std::string& text);
// True when the reply is a completed store report naming `index`.
bool IsStoredAt(const std::string& reply, int32_t index);
