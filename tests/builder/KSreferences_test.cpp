#include "builder/entries/KSreferences.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace ks {
namespace {

using Visited = std::vector<std::pair<std::size_t, std::string>>;

Visited Visit(const std::string& references, std::size_t documentCount) {
    Visited visited;
    ForEachReference(references, documentCount, [&](std::size_t index, std::string_view link) {
        visited.emplace_back(index, std::string(link));
    });
    return visited;
}

TEST(ForEachReference, VisitsEveryItemThatNamesADocumentAndHasALink) {
    const std::vector<std::tuple<std::string, std::size_t, Visited>> cases = {
        {"", 3, {}},
        {"0,p.htm#a", 1, {{0, "p.htm#a"}}},
        {"0,a|1,b|2,c", 2, {{0, "a"}, {1, "b"}}},
        {"1,x,y|0,z", 2, {{1, "x,y"}, {0, "z"}}},
        {"0,|1,b", 2, {{1, "b"}}},
        {"3|1,b", 4, {{1, "b"}}},
        {"0,a||1,b|", 2, {{0, "a"}, {1, "b"}}},
        {" 1,b|+1,c|-1,d|x,e|1 ,f|,g", 2, {{1, "b"}, {1, "c"}}},
        {"99999999999,a|0,b", 2, {{0, "b"}}},
        // A NUL byte reads as a quote: a "|" between two of them is no separator.
        {std::string("0,a\0|x\0|1,b", 11), 2, {{0, std::string("a\0|x\0", 5)}, {1, "b"}}},
    };
    for (const auto& [references, documents, expected] : cases)
        EXPECT_EQ(Visit(references, documents), expected) << references;
}

} // namespace
} // namespace ks
