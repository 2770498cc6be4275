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

}  // namespace
