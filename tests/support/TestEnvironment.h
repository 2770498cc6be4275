// Environment every test binary sets up before anything else runs.
#pragma once

// Sets QT_QPA_PLATFORM=offscreen when unset and gives XDG_RUNTIME_DIR a
// private directory of mode 0700, as Qt wants.
void PrepareTestEnvironment();

// Folder of the built sample databases (RAVEZOV_SAMPLES, or the build's).
const char* SamplesDir();
