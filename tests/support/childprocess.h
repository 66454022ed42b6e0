#pragma once

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <string>
#include <vector>

#include "support/waituntil.h"

extern char** environ;

// A program started as a user starts it, without a shell. It is spawned, not forked: a thread
// of the test (a simulated unit's) may hold a lock of the C library at the moment of a fork,
// and a child that then reopens its streams waits for it forever. Its standard output and error
// go to the files named (both may name the same one), its standard input comes from `in`.
class ChildProcess {
public:
    // `environment` ("NAME=value") comes before the test's own, so it wins over it.
    ChildProcess(std::vector<std::string> args, const std::string& out, const std::string& err,
                 std::vector<std::string> environment = {}, const std::string& in = "/dev/null") {
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, in.c_str(), O_RDONLY, 0);
        const int flags = O_WRONLY | O_CREAT | O_TRUNC | O_APPEND;
        posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), flags, 0600);
        posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), flags, 0600);
        for (char** variable = environ; *variable != nullptr; ++variable) {
            environment.emplace_back(*variable);
        }
        const std::vector<char*> argv = Pointers(args);
        const std::vector<char*> envp = Pointers(environment);
        if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0) {
            pid = -1;
        }
        posix_spawn_file_actions_destroy(&actions);
    }
    ~ChildProcess() {
        if (pid > 0) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
        }
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Sends the signal (0: none) and waits, with the bound, for the exit; the exit status, or
    // -1 when the program did not start or did not exit by itself within the bound.
    int Stop(int signal, std::chrono::milliseconds bound = std::chrono::seconds(5)) {
        int status = 0;
        // Never a signal to pid -1, which would reach every process.
        if (pid <= 0 || ::kill(pid, signal) != 0 ||
            !WaitUntil([&] { return ::waitpid(pid, &status, WNOHANG) == pid; }, bound)) {
            return -1;
        }
        pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    // -1 once it has been waited for, or when it did not start.
    pid_t Pid() const { return pid; }

private:
    static std::vector<char*> Pointers(std::vector<std::string>& texts) {
        std::vector<char*> pointers;
        for (std::string& text : texts) {
            pointers.push_back(text.data());
        }
        pointers.push_back(nullptr);
        return pointers;
    }

    pid_t pid = -1;
};
