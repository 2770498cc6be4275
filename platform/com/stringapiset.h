// Text conversion between OLE strings (UTF-16) and the ANSI code page, which
// is UTF-8 here, and the few string routines of the window system's runtime.
#pragma once

#include <string>
#include <string_view>

#include "wtypes.h"

#define CP_ACP 0
#define CP_UTF8 65001

// Same contract as the platform's: cch -1 means "null-terminated, count the
// terminator"; a zero output size asks for the size needed.
int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR src, int cchSrc, LPSTR dst,
                        int cbDst, LPCSTR defaultChar, BOOL* usedDefault);
int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR src, int cbSrc, LPWSTR dst,
                        int cchDst);

std::string OleToAnsi(LPCOLESTR s);
std::string OleToAnsi(std::u16string_view s);
std::u16string AnsiToOle(std::string_view s);

// Length of an OLE string without its terminator; 0 for null.
size_t OleStrLen(LPCOLESTR s);

int lstrlenA(LPCSTR s);
LPSTR lstrcpyA(LPSTR dst, LPCSTR src);
#define lstrlen lstrlenA
#define lstrcpy lstrcpyA

// Debug trace: goes to the debug log channel.
void OutputDebugStringA(LPCSTR text);
#define OutputDebugString OutputDebugStringA
// Lets a test or the user interface layer route the trace elsewhere.
using DebugTraceSink = void (*)(const char* text);
DebugTraceSink SetDebugTraceSink(DebugTraceSink sink);
