// The project's own page, where new versions are announced. The About page
// shows it on its link button and opens it from there.
#pragma once

inline constexpr const char kUpdatePageAddress[] = "https://github.com/ravezov/ravezov#readme";
