#include "SchemaNames.h"

#include <cstring>

#include "GuidNameText.h"

namespace {

constexpr int kMaxRestrictions = 7;

struct SchemaName {
  GUID guid;
  const char* name;
  ULONG restrictions;
  // The standard restriction columns, in ordinal order; later versions of
  // some schemas name more restrictions than their count here.
  const char* restrictionNames[kMaxRestrictions];
};

// The core schema GUIDs differ only in their first field.
constexpr GUID CoreSchema(uint32_t first) {
  return GUID{first, 0x5CF3, 0x11CE, {0xAD, 0xE5, 0x00, 0xAA, 0x00, 0x44, 0x77, 0x3D}};
}

constexpr const char* kTableOf[] = {"TABLE_CATALOG", "TABLE_SCHEMA", "TABLE_NAME"};

// Searched in this order; the first equal GUID wins.
constexpr SchemaName kSchemaNames[] = {
    {CoreSchema(0xC8B52210), "DBSCHEMA_ASSERTIONS", 3,
     {"CONSTRAINT_CATALOG", "CONSTRAINT_SCHEMA", "CONSTRAINT_NAME"}},
    {CoreSchema(0xC8B52211), "DBSCHEMA_CATALOGS", 1, {"CATALOG_NAME"}},
    {CoreSchema(0xC8B52212), "DBSCHEMA_CHARACTER_SETS", 3,
     {"CHARACTER_SET_CATALOG", "CHARACTER_SET_SCHEMA", "CHARACTER_SET_NAME"}},
    {CoreSchema(0xC8B52215), "DBSCHEMA_CHECK_CONSTRAINTS", 3,
     {"CONSTRAINT_CATALOG", "CONSTRAINT_SCHEMA", "CONSTRAINT_NAME"}},
    {CoreSchema(0xC8B52213), "DBSCHEMA_COLLATIONS", 3,
     {"COLLATION_CATALOG", "COLLATION_SCHEMA", "COLLATION_NAME"}},
    {CoreSchema(0xC8B5221B), "DBSCHEMA_COLUMN_DOMAIN_USAGE", 4,
     {"DOMAIN_CATALOG", "DOMAIN_SCHEMA", "DOMAIN_NAME", "COLUMN_NAME"}},
    {CoreSchema(0xC8B52221), "DBSCHEMA_COLUMN_PRIVILEGES", 6,
     {kTableOf[0], kTableOf[1], kTableOf[2], "COLUMN_NAME", "GRANTOR", "GRANTEE"}},
    {CoreSchema(0xC8B52214), "DBSCHEMA_COLUMNS", 4, {kTableOf[0], kTableOf[1], kTableOf[2], "COLUMN_NAME"}},
    {CoreSchema(0xC8B52216), "DBSCHEMA_CONSTRAINT_COLUMN_USAGE", 4,
     {kTableOf[0], kTableOf[1], kTableOf[2], "COLUMN_NAME", "CONSTRAINT_CATALOG", "CONSTRAINT_SCHEMA",
      "CONSTRAINT_NAME"}},
    {CoreSchema(0xC8B52217), "DBSCHEMA_CONSTRAINT_TABLE_USAGE", 3,
     {kTableOf[0], kTableOf[1], kTableOf[2], "CONSTRAINT_CATALOG", "CONSTRAINT_SCHEMA", "CONSTRAINT_NAME"}},
    {CoreSchema(0xC8B522C4), "DBSCHEMA_FOREIGN_KEYS", 6,
     {"PK_TABLE_CATALOG", "PK_TABLE_SCHEMA", "PK_TABLE_NAME", "FK_TABLE_CATALOG", "FK_TABLE_SCHEMA",
      "FK_TABLE_NAME"}},
    {CoreSchema(0xC8B5221E), "DBSCHEMA_INDEXES", 5,
     {kTableOf[0], kTableOf[1], "INDEX_NAME", "TYPE", kTableOf[2]}},
    {CoreSchema(0xC8B52218), "DBSCHEMA_KEY_COLUMN_USAGE", 7,
     {"CONSTRAINT_CATALOG", "CONSTRAINT_SCHEMA", "CONSTRAINT_NAME", kTableOf[0], kTableOf[1], kTableOf[2],
      "COLUMN_NAME"}},
    {CoreSchema(0xC8B522C5), "DBSCHEMA_PRIMARY_KEYS", 3, {kTableOf[0], kTableOf[1], kTableOf[2]}},
    {CoreSchema(0xC8B522C9), "DBSCHEMA_PROCEDURE_COLUMNS", 4,
     {"PROCEDURE_CATALOG", "PROCEDURE_SCHEMA", "PROCEDURE_NAME", "COLUMN_NAME"}},
    {CoreSchema(0xC8B522B8), "DBSCHEMA_PROCEDURE_PARAMETERS", 4,
     {"PROCEDURE_CATALOG", "PROCEDURE_SCHEMA", "PROCEDURE_NAME", "PARAMETER_NAME"}},
    {CoreSchema(0xC8B52224), "DBSCHEMA_PROCEDURES", 4,
     {"PROCEDURE_CATALOG", "PROCEDURE_SCHEMA", "PROCEDURE_NAME", "PROCEDURE_TYPE"}},
    {CoreSchema(0xC8B5222C), "DBSCHEMA_PROVIDER_TYPES", 2, {"DATA_TYPE", "BEST_MATCH"}},
    {CoreSchema(0xC8B52219), "DBSCHEMA_REFERENTIAL_CONSTRAINTS", 3,
     {"CONSTRAINT_CATALOG", "CONSTRAINT_SCHEMA", "CONSTRAINT_NAME"}},
    {CoreSchema(0xC8B52225), "DBSCHEMA_SCHEMATA", 3, {"CATALOG_NAME", "SCHEMA_NAME", "SCHEMA_OWNER"}},
    {CoreSchema(0xC8B52226), "DBSCHEMA_SQL_LANGUAGES", 0, {}},
    {CoreSchema(0xC8B52227), "DBSCHEMA_STATISTICS", 3, {kTableOf[0], kTableOf[1], kTableOf[2]}},
    {CoreSchema(0xC8B5221A), "DBSCHEMA_TABLE_CONSTRAINTS", 7,
     {"CONSTRAINT_CATALOG", "CONSTRAINT_SCHEMA", "CONSTRAINT_NAME", kTableOf[0], kTableOf[1], kTableOf[2],
      "CONSTRAINT_TYPE"}},
    {CoreSchema(0xC8B52222), "DBSCHEMA_TABLE_PRIVILEGES", 5,
     {kTableOf[0], kTableOf[1], kTableOf[2], "GRANTOR", "GRANTEE"}},
    {CoreSchema(0xC8B52229), "DBSCHEMA_TABLES", 4, {kTableOf[0], kTableOf[1], kTableOf[2], "TABLE_TYPE"}},
    {CoreSchema(0xC8B522E0), "DBSCHEMA_TABLES_INFO", 4, {kTableOf[0], kTableOf[1], kTableOf[2], "TABLE_TYPE"}},
    {CoreSchema(0xC8B5222A), "DBSCHEMA_TRANSLATIONS", 3,
     {"TRANSLATION_CATALOG", "TRANSLATION_SCHEMA", "TRANSLATION_NAME"}},
    {CoreSchema(0xC8B52223), "DBSCHEMA_USAGE_PRIVILEGES", 6,
     {"OBJECT_CATALOG", "OBJECT_SCHEMA", "OBJECT_NAME", "OBJECT_TYPE", "GRANTOR", "GRANTEE"}},
    {CoreSchema(0xC8B5222E), "DBSCHEMA_VIEW_COLUMN_USAGE", 3, {"VIEW_CATALOG", "VIEW_SCHEMA", "VIEW_NAME"}},
    {CoreSchema(0xC8B5222F), "DBSCHEMA_VIEW_TABLE_USAGE", 3, {"VIEW_CATALOG", "VIEW_SCHEMA", "VIEW_NAME"}},
    {CoreSchema(0xC8B5222D), "DBSCHEMA_VIEWS", 3, {kTableOf[0], kTableOf[1], kTableOf[2]}},
    {GUID{0xE2082DF0, 0x54AC, 0x11D1, {0xBD, 0xBB, 0x00, 0xC0, 0x4F, 0xB9, 0x26, 0x75}},
     "DBSCHEMA_JETOLEDB_REPLPARTIALFILTERLIST", 0, {}},
};
constexpr ULONG kSchemaNameCount = sizeof kSchemaNames / sizeof kSchemaNames[0];
static_assert(kSchemaNameCount == 32);

const SchemaName* FindSchema(REFGUID schema) {
  for (ULONG i = 0; i < kSchemaNameCount; ++i)
    if (std::memcmp(&kSchemaNames[i].guid, &schema, sizeof(GUID)) == 0) return &kSchemaNames[i];
  return nullptr;
}

}  // namespace

const char* GetSchemaName(const GUID* pSchema, ULONG* pcRestrictions) {
  const SchemaName* row = pSchema ? FindSchema(*pSchema) : nullptr;
  if (pcRestrictions) *pcRestrictions = row ? row->restrictions : 0;
  if (row) return row->name;
  return pSchema ? GuidNameText(*pSchema) : "";
}

const char* GetRestrictionName(REFGUID schema, ULONG ordinal) {
  const SchemaName* row = FindSchema(schema);
  if (!row || ordinal >= kMaxRestrictions) return nullptr;
  return row->restrictionNames[ordinal];
}
