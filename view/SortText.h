// The text edits of the viewer's re-query sort. Searches are case-sensitive:
// the text is the one this program or the user wrote.
#pragma once

#include <string>

// A name inside square brackets, each "]" in it doubled so that a name
// taken from the database cannot end the brackets early.
std::string BracketedName(const std::string& name);

// "select * from [" table "]".
std::string SelectAllFromTable(const std::string& table);

// Sorts by `column`: a text without "order by" gains " order by [column]";
// one sorted by another column is cut before its "order by" and sorted by
// this one; one sorted by this column toggles " desc".
std::string ToggleOrderBy(std::string sql, const std::string& column);
