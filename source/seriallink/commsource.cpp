#include "seriallink/commsource.h"

#include <algorithm>
#include <chrono>
#include <thread>

void ICommSource::WaitForData(uint32_t timeoutMs) {
    std::this_thread::sleep_for(std::chrono::milliseconds(std::min<uint32_t>(timeoutMs, 1)));
}
