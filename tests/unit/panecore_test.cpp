// Pane bookkeeping (the 1000-line cap with pruning by 100, the horizontal
// extent kept per block of 100 lines) and the texts of the panes.
#include <gtest/gtest.h>

#include <string>

#include "message.h"
#include "panecore.h"

namespace {

// A list box as the window keeps it: the count it would hold and the
// horizontal extent it was last given.
struct FakePane {
    HostEntry entry;
    int32_t listCount = 0;
    int32_t extent = 0;
    int prunings = 0;

    FakePane() { ResetHostEntry(&entry, 0); }

    void Add(int32_t width)
    {
        PanePlan plan = PlanPaneLine(&entry);
        if (plan.prune) {
            if (plan.setExtent)
                extent = plan.extent;
            listCount -= PanePruneLines;
            listCount += 2;
            prunings++;
        }
        if (NotePaneLineWidth(&entry, listCount, width))
            extent = entry.paneExtent;
        listCount++;
    }
    void AddMany(int count, int32_t width)
    {
        for (int i = 0; i < count; i++)
            Add(width);
    }
};

TEST(PaneBook, PrunesTo903OnTheLineAfterTheThousandth)
{
    FakePane pane;
    pane.AddMany(1000, 10);
    EXPECT_EQ(1000, pane.listCount);
    EXPECT_EQ(1000, pane.entry.lineCount);
    EXPECT_EQ(0, pane.prunings);

    pane.Add(10);
    EXPECT_EQ(1, pane.prunings);
    EXPECT_EQ(903, pane.listCount);
    EXPECT_EQ(903, pane.entry.lineCount) << "the count matches the list again";

    pane.AddMany(97, 10);
    EXPECT_EQ(1, pane.prunings) << "97 lines later the pane is full again";
    EXPECT_EQ(1000, pane.listCount);
    pane.Add(10);
    EXPECT_EQ(2, pane.prunings);
    EXPECT_EQ(903, pane.listCount);
}

TEST(PaneBook, ExtentFollowsTheWidestLineLeft)
{
    FakePane pane;
    pane.Add(50);
    EXPECT_EQ(50, pane.extent) << "a wider line widens the range at once";
    pane.Add(300);           // line 2, block 0: the widest
    pane.AddMany(448, 20);
    pane.Add(120);           // line 451, block 4
    pane.AddMany(549, 20);
    EXPECT_EQ(0, pane.prunings);
    EXPECT_EQ(300, pane.extent);

    pane.Add(20);            // removes block 0 with the widest line
    EXPECT_EQ(120, pane.extent);
    EXPECT_EQ(120, pane.entry.paneExtent);

    // The widest line now lies outside the next block to go.
    pane.AddMany(97, 20);
    pane.Add(20);
    EXPECT_EQ(2, pane.prunings);
    EXPECT_EQ(120, pane.extent) << "pruning left the range unchanged";
    EXPECT_EQ(120, pane.entry.blockWidth[2]) << "line 451 is in the third block now";
}

TEST(PaneBook, ClearStartsTheCountAgain)
{
    FakePane pane;
    pane.AddMany(1000, 40);
    ResetPaneBook(&pane.entry);
    pane.listCount = 0;
    EXPECT_EQ(0, pane.entry.paneExtent);
    pane.AddMany(1000, 10);
    EXPECT_EQ(0, pane.prunings) << "1000 new lines fit after a clear";
    EXPECT_EQ(10, pane.entry.paneExtent);
}

TEST(PaneBook, OverfullListStaysInsideTheBlocks)
{
    HostEntry entry;
    ResetHostEntry(&entry, 0);
    EXPECT_TRUE(NotePaneLineWidth(&entry, 1500, 70));
    EXPECT_EQ(70, entry.blockWidth[PaneBlocks - 1]);
    EXPECT_FALSE(NotePaneLineWidth(&entry, -1, 5));
    EXPECT_EQ(70, entry.blockWidth[PaneBlocks - 1]);
    EXPECT_EQ(5, entry.blockWidth[0]);
}

TEST(PaneTexts, ErrorBoxWithAndWithoutHost)
{
    const std::string advice = "Please restart this program to ensure that the communication "
                               "between Gridvane and this program will work properly.";
    char text[ErrorBoxTextSize];
    FormatErrorBoxText(text, sizeof text, "ABCDEFGHIJKLMNO", TextLineNotAdded, 4294967295u);
    EXPECT_EQ("ABCDEFGHIJKLMNO: An error occured when trying to display a message. "
              "Return code =  4294967295. " + advice,
              std::string(text)) << "the longest host and code fit";
    FormatErrorBoxText(text, sizeof text, nullptr, "unused", 1812);
    EXPECT_EQ("Return code =  1812. " + advice, std::string(text));
}

// The reader's batch: one pane's lines in order, never past its room; the
// longest message always fits an empty batch.
TEST(PaneBatch, KeepsOnePanesLinesInOrderWithinItsRoom)
{
    static PaneBatch batch;
    ClearPaneBatch(&batch);
    EXPECT_TRUE(AppendPaneBatch(&batch, 1, "first"));
    EXPECT_TRUE(AppendPaneBatch(&batch, 1, ""));
    EXPECT_FALSE(AppendPaneBatch(&batch, 0, "other pane")) << "one pane per batch";
    ASSERT_EQ(2, batch.lineCount);
    EXPECT_STREQ("first", PaneBatchLine(&batch, 0));
    EXPECT_STREQ("", PaneBatchLine(&batch, 1));

    ClearPaneBatch(&batch);
    int added = 0;
    while (AppendPaneBatch(&batch, 0, "x"))
        added++;
    EXPECT_EQ(PaneBatchLines, added);

    std::string longest(MessageReadSize, 'L');
    ClearPaneBatch(&batch);
    ASSERT_TRUE(AppendPaneBatch(&batch, 0, longest.c_str()));
    EXPECT_FALSE(AppendPaneBatch(&batch, 0, longest.c_str())) << "no room for a second";
    EXPECT_EQ(longest, PaneBatchLine(&batch, 0));
    std::string rest(PaneBatchTextSize - MessageBufferSize - 1, 'r');
    EXPECT_TRUE(AppendPaneBatch(&batch, 0, rest.c_str())) << "exactly the room left";
    EXPECT_FALSE(AppendPaneBatch(&batch, 0, ""));
    EXPECT_EQ((uint32_t)PaneBatchTextSize, batch.used);
}

} // namespace
