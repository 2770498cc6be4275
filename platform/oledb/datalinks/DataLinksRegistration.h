// Makes Data Links available: the class behind CLSID_DataLinks and the
// providers' connection prompt. Runs by itself when the library is linked
// whole; calling it again changes nothing.
#pragma once

void RegisterDataLinks();
