#pragma once

#include <chrono>
#include <string>

// A pseudo-terminal pair for driving the real port class: the port opens the slave by path,
// the test plays the far end on the master.
class PtyPair {
public:
    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    const std::string& SlavePath() const { return slavePath; }
    int MasterFd() const { return master; }

    void WriteToPort(const std::string& bytes);
    // Reads what the port sent until at least `count` bytes arrived or the bound passed.
    std::string ReadFromPort(std::size_t count,
                             std::chrono::milliseconds bound = std::chrono::seconds(2));
    // Drains whatever the port sent within a short quiet time.
    std::string DrainFromPort(std::chrono::milliseconds quiet = std::chrono::milliseconds(50));

private:
    int master = -1;
    int slaveKeepAlive = -1;
    std::string slavePath;
};
