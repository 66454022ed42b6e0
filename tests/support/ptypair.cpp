#include "support/ptypair.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <stdexcept>

PtyPair::PtyPair() {
    char name[256] = {};
    if (openpty(&master, &slaveKeepAlive, name, nullptr, nullptr) != 0) {
        throw std::runtime_error("openpty failed");
    }
    slavePath = name;
    // The far end must see the port's bytes unchanged.
    termios raw{};
    tcgetattr(slaveKeepAlive, &raw);
    cfmakeraw(&raw);
    tcsetattr(slaveKeepAlive, TCSANOW, &raw);
    fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
}

PtyPair::~PtyPair() {
    if (slaveKeepAlive >= 0) {
        close(slaveKeepAlive);
    }
    if (master >= 0) {
        close(master);
    }
}

void PtyPair::WriteToPort(const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(master, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
        } else {
            pollfd p{master, POLLOUT, 0};
            poll(&p, 1, 100);
        }
    }
}

std::string PtyPair::ReadFromPort(std::size_t count, std::chrono::milliseconds bound) {
    std::string out;
    const auto deadline = std::chrono::steady_clock::now() + bound;
    while (out.size() < count) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            break;
        }
        pollfd p{master, POLLIN, 0};
        if (poll(&p, 1, static_cast<int>(left.count())) <= 0) {
            continue;
        }
        char buf[512];
        const ssize_t n = ::read(master, buf, sizeof buf);
        if (n > 0) {
            out.append(buf, static_cast<std::size_t>(n));
        }
    }
    return out;
}
