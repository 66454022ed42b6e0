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

    void WriteToPort(const std::string& bytes);
    // Reads what the port sent until at least `count` bytes arrived or the bound passed.
    std::string ReadFromPort(std::size_t count,
                             std::chrono::milliseconds bound = std::chrono::seconds(2));

private:
    int master = -1;
    int slaveKeepAlive = -1;
    std::string slavePath;
};
