// How many statements a command text holds: semicolons outside quotes and
// comments separate them, and empty ones do not count.
#pragma once

#include <string_view>

size_t CountSqlStatements(std::u16string_view sql);
