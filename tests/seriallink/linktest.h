#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "seriallink/comport.h"
#include "support/ptypair.h"
#include "support/waituntil.h"

using namespace std::chrono_literals;

// The port set up the way the tool sets it up, opened unless asked otherwise.
// What a port call threw, "<no exception>" when it threw nothing.
inline std::string ThrownText(const std::function<void()>& action) {
    try {
        action();
    } catch (const CComPort::EComPortException& e) {
        return e.what();
    }
    return "<no exception>";
}

// A port that is not open refuses reads and writes with its fixed texts, leaves the count it
// was given alone, and has nothing to wait for.
inline void ExpectClosedPortRefusesReadsAndWrites(CComPort& port) {
    char buf[4];
    uint32_t received = 7;
    EXPECT_EQ(ThrownText([&] { port.Read(buf, sizeof buf, received); }),
              "Can not read from port. Com port has not been opened!");
    EXPECT_EQ(received, 7u);
    EXPECT_EQ(ThrownText([&] { port.Write("AT\r", 3); }),
              "Can not write to port. Com port has not been opened!");
    EXPECT_FALSE(port.WaitReadable(0));
}

inline std::unique_ptr<CComPort> MakePort(const std::string& name, bool open = true) {
    auto port = std::make_unique<CComPort>();
    port->SetPortName(name);
    port->SetSettings("57600,n,8,1");
    if (open) {
        port->Open();
    }
    return port;
}

// Reads from a port or a communication source until `count` bytes have come, with a bound.
template <class Source>
std::string ReadAtLeast(Source& source, std::size_t count) {
    std::string got;
    WaitUntil(
        [&] {
            char buf[256];
            uint32_t n = 0;
            source.Read(buf, sizeof buf, n);
            got.append(buf, n);
            return got.size() >= count;
        },
        2s);
    return got;
}
