#include "import/KSpersonLink.h"

#include "common/KSwebLink.h"

#include <gtest/gtest.h>

#include <string>

namespace ks {
namespace {

// A person's link follows the rule of a safe link from another tree and is
// stricter: where the two differ, the builder still shows a document's link
// that the import never writes.
TEST(PersonLink, IsASafeLinkAndMore) {
    const struct {
        std::string Link;
        bool Safe, Usable;
    } cases[] = {
        {"p.htm#i1", true, true},
        {"sub dir/p.htm?x=a:b", true, true},
        {"HTTPS://ex.org/p", true, true},
        {"http://ab", true, true},
        {"javascript:x", false, false},
        {" javascript:x", false, false},
        {"//evil.example/p", false, false},
        {" //evil.example/p", false, false}, // a browser passes the blank over
        {"p\x01.htm", false, false},
        // Where they differ.
        {"", true, false},
        {"/abs/p.htm", true, false},
        {"sub\\p.htm", true, false},
        {"p\"q.htm", true, false},
        {"a<b>.htm", true, false},
        {"http:p.htm", true, false},
        {"http://", true, false},
        {"http://a", true, false},
        {"1:2.htm", true, false},
        {"a_b:c.htm", true, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.Safe, IsSafeLink(c.Link)) << c.Link;
        EXPECT_EQ(c.Usable ? c.Link : "", UsablePersonLink(c.Link)) << c.Link;
    }
}

} // namespace
} // namespace ks
