// Registers the provider at start-up; the platform links this library
// whole so the registrar is kept although nothing names it.
#include "ClassRegistry.h"
#include "SqliteProvider.h"

namespace {
const CClassRegistrar kRegistrar(ClassEntry{CLSID_RavezovSQLite, kSqliteProgId,
                                            kSqliteDescription, ClassKind::Provider,
                                            &CreateSqliteDataSource});
}  // namespace
