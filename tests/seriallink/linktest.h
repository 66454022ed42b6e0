#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "seriallink/comport.h"
#include "support/ptypair.h"
#include "support/waituntil.h"

using namespace std::chrono_literals;

// The port set up the way the tool sets it up, opened unless asked otherwise.
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
