#include "SqliteRowKeys.h"

#include <gtest/gtest.h>

namespace {

// Enough keys to span many storage blocks.
constexpr int64_t kKeys = 10000;

TEST(SqliteRowKeys, PositionsAreFoundByKeyWhetherKeysAscendOrNotAndAfterAKeyChanges) {
  CSqliteRowKeys keys;
  for (int64_t key = 1; key <= kKeys; ++key) keys.Append(key * 2);
  ASSERT_EQ(keys.Size(), static_cast<size_t>(kKeys));
  EXPECT_EQ(keys.Find(2), 0u);
  EXPECT_EQ(keys.Find(kKeys * 2), static_cast<size_t>(kKeys - 1));
  EXPECT_EQ(keys.Find(4001 * 2), 4000u);
  EXPECT_FALSE(keys.Find(3).has_value());
  EXPECT_FALSE(keys.Find(kKeys * 2 + 2).has_value());

  // An edited key out of order: the positions are found through the index.
  keys.Set(5000, 1);
  EXPECT_EQ(keys.At(5000), 1);
  EXPECT_EQ(keys.Find(1), 5000u);
  EXPECT_FALSE(keys.Find(5001 * 2).has_value());
  EXPECT_EQ(keys.Find(9000 * 2), 8999u);
  keys.Append(-7);
  EXPECT_EQ(keys.Find(-7), static_cast<size_t>(kKeys));

  keys.Clear();
  EXPECT_EQ(keys.Size(), 0u);
  keys.Append(5);
  EXPECT_EQ(keys.Find(5), 0u);
}

}  // namespace
