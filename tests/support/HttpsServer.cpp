#include "support/HttpsServer.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace ks::test {

namespace {

constexpr auto kPoll = std::chrono::milliseconds(50);
constexpr int kStartPolls = 1200; // a minute: making the certificate takes a moment

} // namespace

HttpsServer::HttpsServer(const std::string& root, const std::string& folder) : folder_(folder) {
    std::filesystem::create_directories(folder);
    const std::string script = std::string(KS_TEST_SOURCE_DIR) + "tests/support/https-server.py";
    const std::string portFile = folder + "/port";
    std::filesystem::remove(portFile);
    pid_ = ::fork();
    if (pid_ == 0) {
        ::execlp("python3", "python3", script.c_str(), "--root", root.c_str(), "--cert-dir",
                 folder.c_str(), "--port-file", portFile.c_str(), "--log",
                 (folder + "/log").c_str(), "--max-requests", "200", "--max-seconds", "300",
                 static_cast<char*>(nullptr));
        ::_exit(127);
    }
    for (int i = 0; i < kStartPolls && pid_ > 0; ++i) {
        if (std::filesystem::exists(portFile)) {
            port_ = std::atoi(ReadFileBytes(portFile).c_str());
            return;
        }
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_) pid_ = -1;
        std::this_thread::sleep_for(kPoll);
    }
    ADD_FAILURE() << "the HTTPS test server did not start";
    Stop();
}

HttpsServer::~HttpsServer() {
    Stop();
}

void HttpsServer::Stop() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGTERM);
    int status = 0;
    ::waitpid(pid_, &status, 0);
    pid_ = -1;
}

std::string HttpsServer::Address(const std::string& path) const {
    return "https://127.0.0.1:" + std::to_string(port_) + "/" + path;
}

std::string HttpsServer::Log() const {
    std::error_code ec;
    return std::filesystem::exists(folder_ + "/log", ec) ? ReadFileBytes(folder_ + "/log") : "";
}

} // namespace ks::test
