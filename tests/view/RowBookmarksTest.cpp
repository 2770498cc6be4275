#include "RowBookmarks.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(RowBookmarks, RowsKeepTheirBookmarksAsRowsComeAndGoAndSlotsWiden) {
  RowBookmarks marks;
  ASSERT_TRUE(marks.Set(0, "a"));
  ASSERT_TRUE(marks.Set(2, "ccc"));  // row 1 stays unknown; every slot widens
  EXPECT_EQ(marks.Rows(), 3u);
  EXPECT_EQ(marks.Get(0), "a");
  EXPECT_EQ(marks.Get(1), "");
  EXPECT_EQ(marks.Get(2), "ccc");
  EXPECT_EQ(marks.Get(7), "");

  marks.InsertUnknown(1, 2);  // rows inserted before row 1 move it and row 2 down
  EXPECT_EQ(marks.Rows(), 5u);
  EXPECT_EQ(marks.Get(0), "a");
  EXPECT_EQ(marks.Get(3), "");
  EXPECT_EQ(marks.Get(4), "ccc");
  marks.Erase(0);
  EXPECT_EQ(marks.Get(3), "ccc");

  RowBookmarks batch;
  batch.Set(0, std::string("\0x", 2));  // bytes, not text
  batch.Set(1, "yy");
  marks.SetRange(4, batch);
  EXPECT_EQ(marks.Get(4), std::string("\0x", 2));
  EXPECT_EQ(marks.Get(5), "yy");
  EXPECT_EQ(marks.Get(3), "ccc");
}

TEST(RowBookmarks, ABookmarkTooLongToKeepLeavesItsRowUnknown) {
  RowBookmarks marks;
  marks.Set(0, "keep");
  EXPECT_FALSE(marks.Set(0, std::string(RowBookmarks::kMaxSize + 1, 'x')));
  EXPECT_EQ(marks.Get(0), "");
  EXPECT_TRUE(marks.Set(1, std::string(RowBookmarks::kMaxSize, 'y')));
  EXPECT_EQ(marks.Get(1).size(), RowBookmarks::kMaxSize);
}

// Rows spread over several blocks: moves across block edges keep every
// row's bookmark, and a wider bookmark widens the slots of every block.
TEST(RowBookmarks, RowsAcrossBlocksKeepTheirBookmarksThroughInsertsErasesAndWidening) {
  const size_t rows = RowBookmarks::kBlockRows * 2 + 10;
  RowBookmarks marks;
  for (size_t row = 0; row < rows; ++row) marks.Set(row, std::to_string(row));
  ASSERT_EQ(marks.Rows(), rows);
  EXPECT_EQ(marks.Get(RowBookmarks::kBlockRows), std::to_string(RowBookmarks::kBlockRows));

  marks.InsertUnknown(5, 3);
  EXPECT_EQ(marks.Rows(), rows + 3);
  EXPECT_EQ(marks.Get(4), "4");
  EXPECT_EQ(marks.Get(6), "");
  EXPECT_EQ(marks.Get(8), "5");
  // The rows at either side of a block edge moved with the rest.
  const size_t edge = RowBookmarks::kBlockRows;
  EXPECT_EQ(marks.Get(edge - 1), std::to_string(edge - 4));
  EXPECT_EQ(marks.Get(edge), std::to_string(edge - 3));
  EXPECT_EQ(marks.Get(rows + 2), std::to_string(rows - 1));

  marks.Erase(6);
  marks.Erase(6);
  marks.Erase(5);
  EXPECT_EQ(marks.Rows(), rows);
  for (size_t row : {size_t{0}, size_t{5}, edge - 1, edge, rows - 1}) EXPECT_EQ(marks.Get(row), std::to_string(row));

  const std::string wide(40, 'w');
  marks.Set(rows - 1, wide);
  EXPECT_EQ(marks.Get(rows - 1), wide);
  EXPECT_EQ(marks.Get(edge + 1), std::to_string(edge + 1));
  EXPECT_EQ(marks.Get(3), "3");
  EXPECT_GE(marks.Bytes(), rows * (wide.size() + 1));

  // Erasing down to a block edge and growing again leaves no stale bytes.
  while (marks.Rows() > edge) marks.Erase(marks.Rows() - 1);
  marks.Set(edge + 1, "new");
  EXPECT_EQ(marks.Get(edge), "");
  EXPECT_EQ(marks.Get(edge + 1), "new");
  EXPECT_EQ(marks.Get(edge - 1), std::to_string(edge - 1));
}

}  // namespace
