#pragma once

#include <cstdint>

// Mode strings and the line each names, the same for every platform's port.
struct CModeCase {
    const char* mode;
    uint32_t baud;
    char parity;
    int dataBits;
    int stopBits;
};

inline constexpr CModeCase kModeCases[] = {
    {"57600,n,8,1", 57600, 'n', 8, 1},
    {" 9600, E ,7, 2 ", 9600, 'e', 7, 2},
    {"115200,o,5,1", 115200, 'o', 5, 1},
    {"19200", 19200, 'n', 8, 1},
};

// Mode strings no port takes: mark parity, half stop bits, sizes and rates no line has, words.
inline constexpr const char* kBadModes[] = {
    "57600,s,8,1",   "57600,n,8,1.5", "57600,n,4,1",
    "57600,n,9,1",   "57601,n,8,1",   "fast",
    "57600,n,8,1,p", "-57600,n,8,1",  "baud=4800 parity=O data=6 stop=2",
    ",n,8,1",
};
