// What may follow the one statement of a command: nothing SQLite would read
// as another token.
#include <gtest/gtest.h>

#include "SqliteStatement.h"

TEST(SqliteStatementTail, BlanksSemicolonsAndCommentsAreEmpty) {
  EXPECT_TRUE(IsEmptySqlTail(""));
  EXPECT_TRUE(IsEmptySqlTail("; \t\r\n;"));
  EXPECT_TRUE(IsEmptySqlTail("; -- done"));
  EXPECT_TRUE(IsEmptySqlTail("; /* c */ ;"));
  EXPECT_TRUE(IsEmptySqlTail("; /* runs to the end"));
  EXPECT_TRUE(IsEmptySqlTail("/**"));
}

// "/*" as the last two characters is a '/' and a '*' to SQLite, so
// "select 1; /*" holds something after its statement.
TEST(SqliteStatementTail, AnythingElseIsNot) {
  EXPECT_FALSE(IsEmptySqlTail("; select 2"));
  EXPECT_FALSE(IsEmptySqlTail("; /*"));
  EXPECT_FALSE(IsEmptySqlTail("/*"));
  EXPECT_FALSE(IsEmptySqlTail("- 1"));
  EXPECT_FALSE(IsEmptySqlTail("/ *"));
  EXPECT_FALSE(IsEmptySqlTail(";\v-- c"));
  EXPECT_FALSE(IsEmptySqlTail("; from"));
}
