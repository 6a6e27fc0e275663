// Publishing to a host over SFTP, FTPS and FTP, against real servers the
// tests start on 127.0.0.1: OpenSSH's sshd and an FTP server
// (tests/support/sftp-server, tests/support/ftp-server.py).
#include "cli/RunTool.h"
#include "support/ServerProcess.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>

namespace ks {
namespace {

namespace fs = std::filesystem;
using Tree = std::map<std::string, std::string>; // relative path, bytes

using test::ReadFileBytes;
using test::WriteFileBytes;

const std::string kSupport = std::string(KS_TEST_SOURCE_DIR) + "tests/support/";

// A server of one protocol, with a home folder whose keys, known_hosts or
// .netrc let the tool in, and the folder on the server that is published to.
struct Host {
    std::unique_ptr<test::ServerProcess> server;
    std::string destination; // the address given to the tool
    std::string folder;      // where the destination's files land, on this computer
    std::string home;        // HOME for the tool
    std::string caBundle;    // KESTRIN_CA_BUNDLE for the tool (ftps)
};

Host StartHost(const std::string& scheme, const test::TempDir& dir) {
    Host host;
    const std::string state = dir.file("server");
    fs::create_directories(state);
    if (scheme == "sftp") {
        host.server = std::make_unique<test::ServerProcess>(
            std::vector<std::string>{kSupport + "sftp-server", state, "300"}, state);
        host.home = state + "/home";
        host.folder = dir.file("www");
        host.destination = "sftp://127.0.0.1:" + std::to_string(host.server->Port()) + host.folder;
    } else {
        std::vector<std::string> command = {kSupport + "ftp-server.py", state};
        if (scheme == "ftps") command.push_back("--tls");
        if (scheme == "ftp-no-replace") command.push_back("--no-replace");
        host.server = std::make_unique<test::ServerProcess>(command, state);
        host.home = dir.file("home");
        fs::create_directories(host.home);
        WriteFileBytes(host.home + "/.netrc",
                       "machine 127.0.0.1 login publisher password secret\n");
        fs::permissions(host.home + "/.netrc", fs::perms::owner_read | fs::perms::owner_write);
        host.folder = state + "/root/www";
        host.destination = (scheme == "ftps" ? "ftps" : "ftp") + std::string("://127.0.0.1:") +
                           std::to_string(host.server->Port()) + "/www";
        if (scheme == "ftps") host.caBundle = state + "/cert.pem";
    }
    return host;
}

class PublishToHost : public ::testing::TestWithParam<const char*> {
protected:
    PublishToHost() {
        Write("site/index.htm", "<p>start</p>");
        Write("site/a/p1.htm", "one");
        Write("site/a/p \"2\".htm", "two");
        Write("site/s/x/shard.js", "var x;");
    }

    void Write(const std::string& path, const std::string& bytes) {
        fs::create_directories(fs::path(dir.file(path)).parent_path());
        WriteFileBytes(dir.file(path), bytes);
    }

    test::Outcome Run(const Host& host, std::vector<std::string> args,
                      std::vector<std::string> environment = {}) {
        args.insert(args.begin(), {"publish", "--language=GB"});
        test::RunOptions options;
        options.folder = dir.path().string();
        options.environment = {"HOME=" + host.home,
                               "SSH_AUTH_SOCK=", "KESTRIN_CA_BUNDLE=" + host.caBundle};
        options.environment.insert(options.environment.end(), environment.begin(),
                                   environment.end());
        return test::RunTool(args, options);
    }

    static Tree Files(const std::string& folder) {
        Tree tree;
        if (!fs::exists(folder)) return tree;
        for (const auto& entry : fs::recursive_directory_iterator(folder))
            if (entry.is_regular_file())
                tree[fs::relative(entry.path(), folder).string()] =
                    ReadFileBytes(entry.path().string());
        return tree;
    }

    test::TempDir dir;
};

// The whole cycle at a host: a first publish, one after the site changed
// (only changed files go, a page gone goes at the host), a dry run, a
// publish killed half-way and resumed, and a file changed at the host that
// stays.
TEST_P(PublishToHost, SendsOnlyWhatChangedAndResumes) {
    const Host host = StartHost(GetParam(), dir);
    ASSERT_TRUE(host.server->Ready()) << host.server->Log();
    const auto run = [&](std::vector<std::string> args, std::vector<std::string> env = {}) {
        args.push_back("site");
        args.push_back(host.destination);
        return Run(host, args, env);
    };

    const test::Outcome first = run({});
    ASSERT_EQ(0, first.exitCode) << first.err << host.server->Log();
    EXPECT_EQ("sent: 4 files (24 bytes); removed: 0; unchanged: 0\n", first.out);
    Tree expected = {{"index.htm", "<p>start</p>"},
                     {"a/p1.htm", "one"},
                     {"a/p \"2\".htm", "two"},
                     {"s/x/shard.js", "var x;"}};
    EXPECT_EQ(expected, Files(host.folder));

    Write("site/a/p1.htm", "one, changed");
    fs::remove(dir.file("site/s/x/shard.js"));
    const test::Outcome second = run({});
    ASSERT_EQ(0, second.exitCode) << second.err;
    EXPECT_EQ("sent: 1 file (12 bytes); removed: 1; unchanged: 2\n", second.out);
    expected["a/p1.htm"] = "one, changed";
    expected.erase("s/x/shard.js");
    EXPECT_EQ(expected, Files(host.folder));
    EXPECT_FALSE(fs::exists(host.folder + "/s")) << "the emptied folders go";

    Write("site/a/p \"2\".htm", "two, changed");
    Write("site/index.htm", "<p>start, changed</p>");
    const test::Outcome dry = run({"--dry-run"});
    EXPECT_EQ("send a/p \"2\".htm\nsend index.htm\n"
              "would send: 2 files (33 bytes); would remove: 0; unchanged: 1\n",
              dry.out);
    EXPECT_EQ(expected, Files(host.folder));

    // Killed as it journals its second file: that one is at the host but
    // not recorded, so it goes again.
    const test::Outcome killed =
        run({}, {"KS_KILL_CALL=write", "KS_KILL_PATH=.journal", "KS_KILL_AT=2",
                 std::string("LD_PRELOAD=") + KS_KILL_AT_CALL_PATH});
    EXPECT_EQ(-1, killed.exitCode) << killed.err;
    const test::Outcome resumed = run({});
    ASSERT_EQ(0, resumed.exitCode) << resumed.err;
    EXPECT_EQ("sent: 1 file (21 bytes); removed: 0; unchanged: 2\n", resumed.out);
    expected["a/p \"2\".htm"] = "two, changed";
    expected["index.htm"] = "<p>start, changed</p>";
    EXPECT_EQ(expected, Files(host.folder));

    // Gone from the site but changed at the host since: it stays.
    WriteFileBytes(host.folder + "/a/p \"2\".htm", "edited at the host");
    fs::remove(dir.file("site/a/p \"2\".htm"));
    const test::Outcome kept = run({});
    ASSERT_EQ(0, kept.exitCode) << kept.err;
    EXPECT_EQ("kept: a/p \"2\".htm (changed at the destination since the last publish)\n"
              "sent: 0 files (0 bytes); removed: 0; unchanged: 2\n",
              kept.out);
    EXPECT_EQ("edited at the host", Files(host.folder)["a/p \"2\".htm"]);
}

// ftp-no-replace: a server that will not rename onto a file that exists.
INSTANTIATE_TEST_SUITE_P(Protocols, PublishToHost,
                         ::testing::Values("sftp", "ftps", "ftp", "ftp-no-replace"));

// A login the host refuses and a host that cannot show it is the host: the
// tool stops before it sends anything and names the destination and why.
TEST(PublishToHostRefusals, NamesTheDestinationAndTheReason) {
    struct Case {
        const char* scheme;
        const char* change; // what is wrong
        std::string reason; // part of the message
    };
    const Case cases[] = {
        {"sftp", "wrong key", "the host refuses the login (HOME/.ssh/id_ed25519): "},
        {"sftp", "unknown host",
         "the host's key is not in HOME/.ssh/known_hosts; check it and "
         "add it, for example with ssh-keyscan"},
        {"sftp", "changed host key",
         "the host's key differs from the one in HOME/.ssh/known_hosts"},
        {"ftp", "wrong password", "the host refuses the login (~/.netrc): "},
        {"ftps", "no CA file", "the host's certificate cannot be trusted: "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.change);
        test::TempDir dir;
        fs::create_directories(dir.file("site"));
        WriteFileBytes(dir.file("site/index.htm"), "<p>start</p>");
        Host host = StartHost(c.scheme, dir);
        ASSERT_TRUE(host.server->Ready()) << host.server->Log();
        const std::string ssh = host.home + "/.ssh/";
        const std::string change = c.change;
        if (change == "wrong key") {
            fs::remove(ssh + "id_ed25519");
            ASSERT_EQ(0, std::system(("ssh-keygen -q -t ed25519 -N '' -f " + ssh +
                                      "id_ed25519 "
                                      "</dev/null >/dev/null")
                                         .c_str()));
        } else if (change == "unknown host") {
            WriteFileBytes(ssh + "known_hosts", "");
        } else if (change == "changed host key") {
            WriteFileBytes(ssh + "known_hosts",
                           "[127.0.0.1]:" + std::to_string(host.server->Port()) + " " +
                               ReadFileBytes(dir.file("server/other.pub")));
        } else if (change == "wrong password") {
            WriteFileBytes(host.home + "/.netrc",
                           "machine 127.0.0.1 login publisher password wrong\n");
        } else {
            host.caBundle.clear();
        }
        test::RunOptions options;
        options.folder = dir.path().string();
        options.environment = {"HOME=" + host.home,
                               "SSH_AUTH_SOCK=", "KESTRIN_CA_BUNDLE=" + host.caBundle};
        const test::Outcome outcome =
            test::RunTool({"publish", "--language=GB", "site", host.destination}, options);
        EXPECT_EQ(1, outcome.exitCode);
        std::string reason = c.reason;
        if (const std::size_t at = reason.find("HOME"); at != std::string::npos)
            reason.replace(at, 4, host.home);
        EXPECT_TRUE(outcome.err.starts_with("kestrin-index: " + host.destination + ": " + reason))
            << outcome.err;
        EXPECT_FALSE(fs::exists(host.folder)) << "nothing reaches the host";
    }
}

} // namespace
} // namespace ks
