// The main window's title; a connection appends " - " and the provider.
#pragma once

inline constexpr const char kAppTitle[] = "Ravezov 1.0";
