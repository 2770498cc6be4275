// Shorthands for writing property tables: each set's flags and the kinds of
// default value.
#pragma once

#include "PropertyTable.h"

namespace prop {

inline constexpr DBPROPFLAGS kInit = DBPROPFLAGS_DBINIT | DBPROPFLAGS_READ | DBPROPFLAGS_WRITE;
inline constexpr DBPROPFLAGS kInfo = DBPROPFLAGS_DATASOURCEINFO | DBPROPFLAGS_READ;
inline constexpr DBPROPFLAGS kSource = DBPROPFLAGS_DATASOURCE | DBPROPFLAGS_READ;
inline constexpr DBPROPFLAGS kSession = DBPROPFLAGS_SESSION | DBPROPFLAGS_READ;
inline constexpr DBPROPFLAGS kRowRead = DBPROPFLAGS_ROWSET | DBPROPFLAGS_READ;
inline constexpr DBPROPFLAGS kRowWrite = DBPROPFLAGS_ROWSET | DBPROPFLAGS_READ | DBPROPFLAGS_WRITE;

constexpr PropertyDefault None() { return {}; }
constexpr PropertyDefault Bool(bool b) { return {VT_BOOL, b ? 1 : 0, nullptr}; }
constexpr PropertyDefault I4(int64_t v) { return {VT_I4, v, nullptr}; }
constexpr PropertyDefault I2(int64_t v) { return {VT_I2, v, nullptr}; }
constexpr PropertyDefault Text(const OLECHAR* t) { return {VT_BSTR, 0, t}; }

}  // namespace prop
