#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <thread>

#include "BatchHandOver.h"
#include "objbase.h"

namespace {

char* TaskText(const char* text) {
  auto* copy = static_cast<char*>(CoTaskMemAlloc(std::strlen(text) + 1));
  std::strcpy(copy, text);
  return copy;
}

}  // namespace

TEST(BatchHandOver, TheFirstRowsGoAtOnceLaterOnesTogetherAfterTheInterval) {
  BatchHandOver pending(2);
  char* first[] = {TaskText("a"), nullptr, TaskText("b"), TaskText("c")};
  pending.Add(first, 2);
  EXPECT_TRUE(pending.IsDue());
  ASSERT_EQ(pending.Rows(), 2u);
  EXPECT_STREQ(pending.Text(2), "b");
  EXPECT_EQ(pending.Text(1), nullptr);
  pending.Clear();

  char* second[] = {TaskText("d"), TaskText("e")};
  pending.Add(second, 1);
  EXPECT_FALSE(pending.IsDue());
  char* third[] = {TaskText("f"), TaskText("g")};
  pending.Add(third, 1);
  EXPECT_EQ(pending.FirstRow(), 2);
  EXPECT_EQ(pending.Rows(), 2u);
  EXPECT_STREQ(pending.Text(2), "f");
  std::this_thread::sleep_for(BatchHandOver::kInterval + std::chrono::milliseconds(1));
  EXPECT_TRUE(pending.IsDue());
  pending.Clear();
  EXPECT_EQ(pending.FirstRow(), 4);
  EXPECT_EQ(pending.Rows(), 0u);
  // The provider's strings are freed as they are added: the sanitizer
  // build sees a leak or a double free.
  char* left[] = {TaskText("h"), TaskText("i")};
  pending.Add(left, 1);
}

TEST(BatchHandOver, ATakenBatchKeepsItsRowsTextsAndBookmarksAfterTheNextRowsArrive) {
  BatchHandOver pending(2);
  char* first[] = {TaskText("a1"), nullptr, TaskText("b1"), TaskText("")};
  pending.Add(first, 2);
  pending.AddBookmark("k1");
  pending.AddBookmark(std::string("\0\1", 2));
  const std::unique_ptr<RowBatch> batch = pending.Take();

  // Enough later rows to move any buffer the batch might still share.
  for (int i = 0; i < 1000; ++i) {
    char* row[] = {TaskText("later text that takes room"), TaskText("x")};
    pending.Add(row, 1);
    pending.AddBookmark("later");
  }
  ASSERT_EQ(batch->Rows(), 2u);
  EXPECT_EQ(batch->FirstRow(), 0);
  EXPECT_STREQ(batch->Texts()[0], "a1");
  EXPECT_EQ(batch->Texts()[1], nullptr);
  EXPECT_STREQ(batch->Texts()[2], "b1");
  EXPECT_STREQ(batch->Texts()[3], "");
  ASSERT_EQ(batch->Bookmarks().Rows(), 2u);
  EXPECT_EQ(batch->Bookmarks().Get(0), "k1");
  EXPECT_EQ(batch->Bookmarks().Get(1), std::string("\0\1", 2));

  const std::unique_ptr<RowBatch> next = pending.Take();
  EXPECT_EQ(next->FirstRow(), 2);
  EXPECT_EQ(next->Rows(), 1000u);
  EXPECT_STREQ(next->Texts()[1999], "x");
  EXPECT_EQ(next->Bookmarks().Get(999), "later");
}
