// A server a test starts itself: a script run in a process group of its own
// with a folder of its own, on 127.0.0.1. The script writes the port it
// listens on to FOLDER/port; the server is ready once that port takes a
// connection. The whole group is stopped when the object goes, also when the
// test fails.
#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

namespace ks::test {

class ServerProcess {
public:
    // command: the script and its arguments. Waits at most 20 s for it to
    // listen; Ready() tells whether it does.
    ServerProcess(const std::vector<std::string>& command, const std::string& folder);
    ~ServerProcess();
    ServerProcess(const ServerProcess&) = delete;
    ServerProcess& operator=(const ServerProcess&) = delete;

    bool Ready() const { return port_ > 0; }
    int Port() const { return port_; }
    // What the server wrote to its standard output and error so far.
    std::string Log() const;

private:
    std::string folder_;
    pid_t pid_ = -1;
    int port_ = 0;
};

} // namespace ks::test
