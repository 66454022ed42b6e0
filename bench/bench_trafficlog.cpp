// Measures what the communication log adds to one command: the controller named, the command
// written, its reply read in the pieces a port delivers, with the log kept in memory to its
// bound (the window) and with every line also going to a trace file (the command line). A
// command on the unit's line takes tens of milliseconds, so the cost here must stay in
// microseconds.
//
//   bench_trafficlog [commands]     (default 200000)

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "seriallink/trafficlog.h"

namespace {

using Clock = std::chrono::steady_clock;

double MicrosecondsPerCommand(CTrafficLog& log, long commands) {
    const std::string command = "AT+CPBR=64\r";
    const std::string replyStart = "\r\n+CPBR: 64,\"1\",12";
    const std::string replyEnd = "9,\"\"\r\n\r\nOK\r\n";
    log.Opened("/dev/ttyUSB0");
    const Clock::time_point start = Clock::now();
    for (long i = 0; i < commands; ++i) {
        log.Speaker(i % 2 == 0 ? "CControllerReadSetting" : "CControllerCheckMode");
        log.Sent(command);
        log.Received(replyStart);
        log.Received(replyEnd);
    }
    const std::chrono::duration<double, std::micro> taken = Clock::now() - start;
    log.Closed();
    return taken.count() / static_cast<double>(commands);
}

}  // namespace

int main(int argc, char** argv) {
    const long commands = argc > 1 ? std::atol(argv[1]) : 200000;
    CTrafficLog memory;
    const double kept = MicrosecondsPerCommand(memory, commands);

    const std::string path = "/tmp/bench_trafficlog.txt";
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    CTrafficLog traced(0);
    traced.SetSink(&file);
    const double written = MicrosecondsPerCommand(traced, commands);
    file.close();
    std::remove(path.c_str());

    std::printf("communication log, %ld commands (4 lines each)\n", commands);
    std::printf("  kept in memory (2 MiB bound):   %.2f us per command\n", kept);
    std::printf("  written to a trace file:        %.2f us per command\n", written);
    return 0;
}
