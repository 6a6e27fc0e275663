#include "builder/entries/KSentryReader.h"

#include "index/KShtxRegel.h"

#include "support/WriterTestKit.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace ks {
namespace {

// Every field of the entries read, one line each.
std::vector<std::string> ReadAll(TKSentryReader& reader, std::size_t most = 1000) {
    std::vector<std::string> read;
    TKShtxRegel e;
    while (read.size() < most && reader.Next(e))
        read.push_back(e.Letter + "|" + e.Surname + "|" + e.GivenNames + "|" + e.Extra + "|" +
                       e.Year1 + "|" + e.Year2 + "|" + std::to_string(e.PageNr) + "|" +
                       std::to_string(e.RecordNr) + "|" + std::to_string(e.Count) + "|" + e.Link);
    return read;
}

// The first reader parses the text and leaves the copy; a later one gives
// the same entries from the copy, even with the text gone. A reader that
// stops early, or a run without a place for the copy, leaves none.
TEST(KSentryReader, TheTextIsParsedOnceAndTheCopyGivesTheSameEntries) {
    const std::vector<std::string> lines = {
        "B\tBerg, van den\tJan\t\t1850\t1901\t1\t1\t2\t0,a.htm#1|1,b.htm#2", "",
        "?\t?\t?\t\t\t\t2\t2\t1\t1," + std::string(70'000, 'x'),
        "C\tCats\t\xE9l\xE9onore\textra\t\t1777\t12\t345\t1\t0,c.htm"};
    const std::vector<std::string> expected = {
        "B|Berg, van den|Jan||1850|1901|1|1|2|0,a.htm#1|1,b.htm#2",
        "?|?|?||||2|2|1|1," + std::string(70'000, 'x'),
        "C|Cats|\xE9l\xE9onore|extra||1777|12|345|1|0,c.htm"};
    const struct {
        const char* what;
        bool copyPlace;
        std::size_t firstReads; // entries the first reader takes
        bool copied;
    } cases[] = {{"read to the end", true, 1000, true},
                 {"stopped early", true, 1, false},
                 {"no place for a copy", false, 1000, false}};
    for (const auto& c : cases) {
        test::WriterWorld world;
        world.WriteEntries(lines);
        if (c.copyPlace) world.State().EntryCopyPath = world.Root() + "HTMLindex2.bin";
        {
            TKSentryReader first(world.Run());
            EXPECT_EQ(std::vector<std::string>(expected.begin(),
                                               expected.begin() +
                                                   std::min(c.firstReads, expected.size())),
                      ReadAll(first, c.firstReads))
                << c.what;
        }
        EXPECT_EQ(c.copied, world.State().EntryCopyWhole) << c.what;
        if (c.copied) std::filesystem::remove(world.State().EntriesPath);
        TKSentryReader second(world.Run());
        EXPECT_EQ(expected, ReadAll(second)) << c.what;
        // Read to its end, the second leaves the copy when the first did not.
        EXPECT_EQ(c.copyPlace, world.State().EntryCopyWhole) << c.what;
    }
}

} // namespace
} // namespace ks
