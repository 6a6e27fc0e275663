#include "support/HttpsServer.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace ks::test {

HttpsServer::HttpsServer(const std::string& root, const std::string& folder) : folder_(folder) {
    std::filesystem::create_directories(folder);
    std::filesystem::remove(folder + "/port");
    const std::string script = std::string(KS_TEST_SOURCE_DIR) + "tests/support/https-server.py";
    process_ = std::make_unique<ServerProcess>(
        std::vector<std::string>{"/usr/bin/env", "python3", script, "--root", root, "--cert-dir",
                                 folder, "--port-file", folder + "/port", "--log",
                                 folder + "/requests", "--max-requests", "200", "--max-seconds",
                                 "300"},
        folder);
    port_ = process_->Port();
    if (Running()) return;
    ADD_FAILURE() << "the HTTPS test server did not start: " << process_->Log();
    Stop();
}

std::string HttpsServer::Address(const std::string& path) const {
    return "https://127.0.0.1:" + std::to_string(port_) + "/" + path;
}

std::string HttpsServer::Log() const {
    std::error_code ec;
    const std::string requests = folder_ + "/requests";
    return std::filesystem::exists(requests, ec) ? ReadFileBytes(requests) : "";
}

} // namespace ks::test
