// Where the program looks for its sample database, in one place.
#pragma once

#include <QString>

// The absolute path of "trading.db" in the current directory (the programs
// start in the folder of the built samples), or empty when there is none.
QString SampleDatabasePath();
