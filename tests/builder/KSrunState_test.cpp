#include "builder/entries/KSrunState.h"

#include "index/KSksl.h"

#include <gtest/gtest.h>

namespace ks {
namespace {

// Reset statistics start above every real year and file name.
TEST(RunState, StatisticsResetToTheirMarkers) {
    TKSdocumentRun document;
    document.EntryCount = 12;
    document.MinYear = 1700;
    document.MaxYear = 1900;
    document.FirstPage = "p1.htm";
    document.ResetStatistics();
    EXPECT_EQ(document.EntryCount, 0);
    EXPECT_GT(document.MinYear, 9999);
    EXPECT_LT(document.MaxYear, -9999);
    EXPECT_GT(document.FirstPage.compare("\xFE\xFF\xFF"), 0); // after every real file name
}

// Only a split entry counts pages; an entry keeps the last page written of
// it when the run goes on to the next, and one not yet written is at 0.
TEST(RunState, PagesAreCountedPerEntryBeingWritten) {
    TKSkslData layout;
    for (const char* line : {"index, index.tpl, i#NR!.htm, Index", "names, n.tpl, n#NR!.htm, N"}) {
        layout.Items.push_back(std::make_unique<TKSkslFile>(layout, TKSkslFile::kTemplate));
        layout.Items.back()->ParseLine(line);
    }
    TKSkslFile& index = *layout.Item(1);
    TKSkslFile& names = *layout.Item(2);
    index.SetSplit(true);

    TKSrunState state;
    state.StartEntry(&index, 1);
    state.SetPage(state.CurrentPage + 1);
    EXPECT_TRUE(state.CurrentSplit());
    EXPECT_EQ(2, state.CurrentPage);
    EXPECT_EQ(0, state.PageOf(names));

    state.StartEntry(&names, 1);
    state.SetPage(5);
    EXPECT_FALSE(state.CurrentSplit());
    EXPECT_EQ(0, state.CurrentPage);
    EXPECT_EQ(2, state.PageOf(index));
    EXPECT_EQ(0, state.PageOf(names));
    EXPECT_EQ(0, TKSrunState().PageOf(index)); // a new run starts at no page
}

} // namespace
} // namespace ks
