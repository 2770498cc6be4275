// The sample databases for the SQLite provider's tests.
#pragma once

#include <string>

#include "TestEnvironment.h"

inline std::string TradingDb() { return std::string(SamplesDir()) + "/trading.db"; }
inline std::string EmptyDb() { return std::string(SamplesDir()) + "/empty.db"; }
