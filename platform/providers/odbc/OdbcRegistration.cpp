// Registers the provider and the enumerator at start-up; the platform
// links this library whole so the registrars are kept although nothing
// names them.
#include "ClassRegistry.h"
#include "OdbcProvider.h"

namespace {
const CClassRegistrar kProvider(ClassEntry{CLSID_RavezovODBC, kOdbcProgId, kOdbcDescription, ClassKind::Provider,
                                           &CreateOdbcDataSource});
const CClassRegistrar kEnumerator(ClassEntry{CLSID_RavezovODBCEnumerator, kOdbcEnumeratorProgId,
                                             kOdbcEnumeratorDescription, ClassKind::Enumerator, &CreateOdbcEnumerator});
}  // namespace
