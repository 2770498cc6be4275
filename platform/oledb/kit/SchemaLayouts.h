// The standard schema rowsets' column layouts and restriction names, shared
// by every provider so each fills the same columns in the same order.
#pragma once

#include <string>
#include <vector>

#include "ColumnDesc.h"
#include "oledb.h"

struct SchemaLayout {
  const GUID* schema = nullptr;
  std::vector<ColumnDesc> columns;
  std::vector<std::u16string> restrictions;  // in restriction order
};

// TABLES, COLUMNS, PRIMARY_KEYS, FOREIGN_KEYS, INDEXES, STATISTICS,
// PROVIDER_TYPES, CATALOGS, VIEWS, PROCEDURES and PROCEDURE_PARAMETERS.
const std::vector<SchemaLayout>& StandardSchemaLayouts();
// Null for a schema without a standard layout here.
const SchemaLayout* FindSchemaLayout(REFGUID schema);

// IDBSchemaRowset::GetSchemas' answer: the schemas and, for each, the bit
// mask of restrictions a provider accepts, in task-allocated arrays.
struct SupportedSchema {
  const GUID* schema;
  ULONG restrictionSupport;
};
HRESULT ListSchemas(const std::vector<SupportedSchema>& schemas, ULONG* pcSchemas, GUID** prgSchemas,
                    ULONG** prgRestrictionSupport);
