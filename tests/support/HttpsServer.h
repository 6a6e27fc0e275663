// The test HTTPS server (tests/support/https-server.py) run for one test: on
// 127.0.0.1 at a free port, with a certificate made for it, serving the files
// of a folder; stopped when the object goes, whatever the test's outcome.
#pragma once

#include "support/ServerProcess.h"

#include <memory>
#include <string>

namespace ks::test {

class HttpsServer {
public:
    // Serves root; the certificate, the port file and the logs go to folder.
    // A failed start is a gtest failure and Running() false.
    HttpsServer(const std::string& root, const std::string& folder);

    bool Running() const { return process_ && process_->Ready(); }
    void Stop() { process_.reset(); }
    // The port it listened on, also once stopped.
    int Port() const { return port_; }
    // https://127.0.0.1:PORT/path
    std::string Address(const std::string& path) const;
    // The certificate to trust (KESTRIN_CA_BUNDLE).
    std::string CaFile() const { return folder_ + "/cert.pem"; }
    // The requests served so far, "METHOD PATH STATUS" a line.
    std::string Log() const;

private:
    std::string folder_;
    std::unique_ptr<ServerProcess> process_;
    int port_ = 0;
};

} // namespace ks::test
