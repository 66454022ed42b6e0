#pragma once

#include <cstdint>

class IController;

// Production time-outs are seconds long; against the unpaced simulated unit a reply takes a
// few milliseconds, so tests that drive whole operations shorten them, and lift the pauses
// before commands, of the SIM wait and of the signal poll, for every controller an operation
// queues. (The port's own pause before each write is the port's: CComPort::SetWritePause.) A failure that ends
// on a time-out then costs `replyTimeoutMs` instead of seconds.
void MakeQuick(IController& controller, uint32_t replyTimeoutMs = 1500, uint32_t pollPauseMs = 20);
