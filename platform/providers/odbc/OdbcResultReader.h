// Reads a small result (a catalog function's) whole, each cell as UTF-8
// text or null, through SQLGetData in pieces.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "OdbcApi.h"

using OdbcTextRow = std::vector<std::optional<std::string>>;

// False when a fetch fails; the driver's diagnostics stay on the statement.
bool ReadAllRowsAsText(SQLHSTMT statement, std::vector<OdbcTextRow>& rows);
// One cell of the current row as UTF-8, or nullopt for null; false on failure.
bool ReadCellText(SQLHSTMT statement, SQLUSMALLINT column, std::optional<std::string>& cell);
