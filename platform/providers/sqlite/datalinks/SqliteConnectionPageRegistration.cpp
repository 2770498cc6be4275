// Registers the SQLite provider's connection page with Data Links; the
// program links this library whole, so the static object runs at start-up.
#include "CSqliteConnectionPage.h"
#include "ConnectionPageRegistry.h"
#include "SqliteProvider.h"

namespace {

const CConnectionPageRegistrar g_sqlitePage(CLSID_RavezovSQLite,
                                            [](QWidget* parent) { return new CSqliteConnectionPage(parent); });

}  // namespace
