// unixODBC's headers and the conversions between its wide strings (UTF-16
// code units) and ours.
#pragma once

// The platform already defines the window system's basic types; the
// driver manager's headers then take them instead of their own.
#include "wtypes.h"
#define ALREADY_HAVE_WINDOWS_TYPE 1
// The rest of what the driver manager's headers expect from windows.h, as
// unixODBC defines them for 64-bit Linux.
typedef unsigned char UCHAR;
typedef signed char SCHAR;
typedef SCHAR SQLSCHAR;
typedef int SDWORD;
typedef unsigned int UDWORD;
typedef signed short int SWORD;
typedef unsigned short int UWORD;
typedef signed long SLONG;
typedef signed short SSHORT;
typedef double SDOUBLE;
typedef double LDOUBLE;
typedef float SFLOAT;
typedef void* PTR;
typedef signed short RETCODE;
typedef void* SQLHWND;
#define SQL_API
#define FAR
#define CALLBACK
#include <sql.h>
#include <sqlext.h>
#include <sqlucode.h>

#include <string>
#include <string_view>

static_assert(sizeof(SQLWCHAR) == sizeof(char16_t), "the driver manager's wide characters are UTF-16");

inline SQLWCHAR* OdbcText(std::u16string& s) { return reinterpret_cast<SQLWCHAR*>(s.data()); }
inline std::u16string FromOdbcText(const SQLWCHAR* s, size_t units) {
  return std::u16string(reinterpret_cast<const char16_t*>(s), units);
}
inline bool OdbcOk(SQLRETURN rc) { return rc == SQL_SUCCESS || rc == SQL_SUCCESS_WITH_INFO; }
