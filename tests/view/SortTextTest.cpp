#include <gtest/gtest.h>

#include "SortText.h"

TEST(SortText, HeadingClicksToggleAndChangeTheOrderingClause) {
  const std::string table = "select * from [Orders]";
  EXPECT_EQ(ToggleOrderBy(table, "OrderID"), "select * from [Orders] order by [OrderID]");
  EXPECT_EQ(ToggleOrderBy("select * from [Orders] order by [OrderID]", "OrderID"),
            "select * from [Orders] order by [OrderID] desc");
  EXPECT_EQ(ToggleOrderBy("select * from [Orders] order by [OrderID] desc", "OrderID"),
            "select * from [Orders] order by [OrderID]");
  EXPECT_EQ(ToggleOrderBy("select * from [Orders] order by [OrderID] desc", "CustomerID"),
            "select * from [Orders] order by [CustomerID]");
}

TEST(SortText, ANameInsideTheSortedNameTogglesTheDirection) {
  // "Name" is found inside "FirstName": the direction changes, not the column.
  EXPECT_EQ(ToggleOrderBy("select * from [People] order by [FirstName]", "Name"),
            "select * from [People] order by [FirstName] desc");
}

TEST(SortText, SearchesAreCaseSensitive) {
  // An upper-case clause is not recognised; a second one is appended.
  EXPECT_EQ(ToggleOrderBy("select * from T ORDER BY a", "a"), "select * from T ORDER BY a order by [a]");
  EXPECT_EQ(ToggleOrderBy("select * from T order by [a] DESC", "a"), "select * from T order by [a] DESC desc");
}

TEST(SortText, ClosingBracketsInNamesAreDoubled) {
  EXPECT_EQ(SelectAllFromTable("Orders"), "select * from [Orders]");
  EXPECT_EQ(SelectAllFromTable("x] union select 1 --"), "select * from [x]] union select 1 --]");
  EXPECT_EQ(BracketedName("a]]b"), "[a]]]]b]");
  const std::string sorted = ToggleOrderBy("select * from [T]", "odd]name");
  EXPECT_EQ(sorted, "select * from [T] order by [odd]]name]");
  EXPECT_EQ(ToggleOrderBy(sorted, "odd]name"), sorted + " desc");
}
