// Registers the ODBC provider's connection page with Data Links; the
// program links this library whole, so the static object runs at start-up.
#include "COdbcConnectionPage.h"
#include "ConnectionPageRegistry.h"
#include "OdbcProvider.h"

namespace {

const CConnectionPageRegistrar g_odbcPage(CLSID_RavezovODBC,
                                          [](QWidget* parent) { return new COdbcConnectionPage(parent); });

}  // namespace
