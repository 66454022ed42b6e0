#include "engine/taketime.h"

#include <limits>

CTakeTime::CTakeTime() : started(std::chrono::steady_clock::now()) {}

void CTakeTime::Start() {
    started = std::chrono::steady_clock::now();
}

std::chrono::steady_clock::duration CTakeTime::Span() const {
    return std::chrono::steady_clock::now() - started;
}

uint32_t CTakeTime::Elapsed() const {
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(Span()).count();
    if (ms <= 0) {
        return 0;
    }
    constexpr auto most = std::numeric_limits<uint32_t>::max();
    return static_cast<uint64_t>(ms) >= most ? most : static_cast<uint32_t>(ms);
}
