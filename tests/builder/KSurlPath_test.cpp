#include "builder/entries/KSurlPath.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace ks {
namespace {

// Each byte a browser would not ask for as it stands is escaped, plain names
// stay: the escapes are worked out by hand from the bytes on disk.
TEST(UrlPath, EscapesEveryByteABrowserWouldReadOtherwise) {
    for (const auto& [name, link] : std::vector<std::pair<std::string, std::string>>{
             {"index_06.htm", "index_06.htm"},
             {"sub/A-z.0~_!$&()*+,;=@.htm", "sub/A-z.0~_!$&()*+,;=@.htm"},
             {"a#b_names.htm", "a%23b_names.htm"},
             {"x%41.htm", "x%2541.htm"},
             {"\xC3\xA9\xC3\xA9n.htm", "%C3%A9%C3%A9n.htm"}, // "één" typed in UTF-8
             {"my \"tree\"&<b>'.js", "my%20%22tree%22&%3Cb%3E%27.js"},
             {"javascript:alert(1).htm", "javascript%3Aalert(1).htm"},
             {"a?b\\c\t[^`{|}\x7F", "a%3Fb%5Cc%09%5B%5E%60%7B%7C%7D%7F"},
             {std::string("n\0l", 3), "n%00l"}})
        EXPECT_EQ(link, UrlPath(name)) << name;
    std::string out = "../";
    AppendUrlPath(out, "a b");
    EXPECT_EQ("../a%20b", out);
}

} // namespace
} // namespace ks
