#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ReportListModel.h"
#include "TextArena.h"

namespace {

TEST(TextArenaTest, TextsOfEverySizeComeBackWhole) {
  TextArena arena;
  std::vector<std::string> texts;
  for (int i = 0; i < 40000; ++i) texts.push_back("cell text number " + std::to_string(i));  // many chunks
  texts.push_back(std::string(20000, 'm'));                 // a chunk of its own
  texts.push_back(std::string((1 << 24) + 5, 'b'));         // longer than the length field
  texts.push_back("");
  texts.push_back("after the big ones");
  std::vector<TextArena::Ref> refs(texts.size());
  size_t total = 0;
  for (size_t i = 0; i < texts.size(); ++i) {
    ASSERT_TRUE(arena.Store(texts[i], refs[i]));
    total += texts[i].size();
  }
  for (size_t i = 0; i < texts.size(); ++i) ASSERT_EQ(arena.View(refs[i]), texts[i]) << i;
  EXPECT_EQ(refs[texts.size() - 2], TextArena::Ref{0});
  EXPECT_EQ(arena.LiveBytes(), total);
  EXPECT_GE(arena.ReservedBytes(), total);

  arena.Forget(refs[0]);
  EXPECT_EQ(arena.LiveBytes(), total - texts[0].size());
  arena.Clear();
  EXPECT_EQ(arena.LiveBytes(), 0u);
  EXPECT_EQ(arena.View(refs[1]), "");  // references die with the arena
}

TEST(ReportListModelTest, RowsAndColumnsMoveTheirCellsTogether) {
  ReportListModel model;
  model.InsertColumn(0, 1);
  model.InsertColumn(1, 2);
  const char* rows[] = {"a0", "a1", "c0", nullptr};
  ASSERT_TRUE(model.InsertRows(0, 2, 2, rows));
  const char* middle[] = {"b0", "b1", "b2"};  // a third cell has no column: dropped
  ASSERT_TRUE(model.InsertRows(1, 1, 3, middle));
  EXPECT_EQ(model.RowCount(), 3);
  EXPECT_EQ(model.Text(1, 1), "b1");
  EXPECT_EQ(model.Text(2, 0), "c0");
  EXPECT_EQ(model.Text(2, 1), "");
  EXPECT_EQ(model.Text(1, 2), "");  // outside the row
  EXPECT_FALSE(model.SetText(0, 2, "x"));
  EXPECT_FALSE(model.InsertRows(5, 1, 1, rows));

  model.InsertColumn(0, 3);  // a new first column
  EXPECT_EQ(model.Text(1, 0), "");
  EXPECT_EQ(model.Text(1, 1), "b0");
  EXPECT_EQ(model.Text(1, 2), "b1");
  model.DeleteColumn(1, 2);
  EXPECT_EQ(model.Text(1, 1), "b1");
  ASSERT_TRUE(model.DeleteRow(0));
  EXPECT_EQ(model.Text(0, 1), "b1");

  const ReportListMemory memory = model.Memory();
  EXPECT_EQ(memory.cells, 4u);
  EXPECT_EQ(memory.textBytes, 2u);  // "b1"; "c0" went with its column
  model.Clear();
  EXPECT_EQ(model.RowCount(), 0);
  EXPECT_EQ(model.Memory().textBytes, 0u);
}

}  // namespace
