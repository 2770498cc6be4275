#include <gtest/gtest.h>

#include <cstring>
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
  EXPECT_STREQ(pending.Texts()[2], "b");
  EXPECT_EQ(pending.Texts()[1], nullptr);
  pending.Clear();  // frees the texts: the sanitizer build sees a leak or a double free

  char* second[] = {TaskText("d"), TaskText("e")};
  pending.Add(second, 1);
  EXPECT_FALSE(pending.IsDue());
  char* third[] = {TaskText("f"), TaskText("g")};
  pending.Add(third, 1);
  EXPECT_EQ(pending.FirstRow(), 2);
  EXPECT_EQ(pending.Rows(), 2u);
  EXPECT_STREQ(pending.Texts()[2], "f");
  std::this_thread::sleep_for(BatchHandOver::kInterval + std::chrono::milliseconds(1));
  EXPECT_TRUE(pending.IsDue());
  pending.Clear();
  EXPECT_EQ(pending.FirstRow(), 4);
  EXPECT_EQ(pending.Rows(), 0u);
  // Texts never handed over are freed with the object.
  char* left[] = {TaskText("h"), TaskText("i")};
  pending.Add(left, 1);
}
