// The raw baseline of the SQLite provider benchmarks: a query read straight
// through SQLite, every cell's text copied into a fresh allocation that is
// then freed, as the provider's client gets it.
#pragma once

#include <cstddef>
#include <string>

// Reads every row of `query` on the database file at `path`, opened
// read-only; adds the bytes of text to `bytes`. The elapsed seconds.
double RawSqliteScan(const std::string& path, const char* query, size_t& bytes);
