#include "SchemaLayouts.h"

#include "objbase.h"

namespace {

ColumnDesc Column(const char16_t* name, DBTYPE type) {
  ColumnDesc c;
  c.name = name;
  c.type = type;
  c.flags = DBCOLUMNFLAGS_ISNULLABLE | DBCOLUMNFLAGS_MAYBENULL;
  switch (type) {
    case DBTYPE_WSTR: c.size = 128; break;
    case DBTYPE_GUID: c.size = 16; c.flags |= DBCOLUMNFLAGS_ISFIXEDLENGTH; break;
    case DBTYPE_BOOL: case DBTYPE_I2: case DBTYPE_UI2: c.size = 2; c.flags |= DBCOLUMNFLAGS_ISFIXEDLENGTH; break;
    case DBTYPE_I4: case DBTYPE_UI4: c.size = 4; c.flags |= DBCOLUMNFLAGS_ISFIXEDLENGTH; break;
    default: c.size = 8; c.flags |= DBCOLUMNFLAGS_ISFIXEDLENGTH; break;
  }
  return c;
}

ColumnDesc Text(const char16_t* name) { return Column(name, DBTYPE_WSTR); }

ColumnDesc LongText(const char16_t* name) {
  ColumnDesc c = Column(name, DBTYPE_WSTR);
  c.size = ~DBLENGTH{0};
  c.flags |= DBCOLUMNFLAGS_ISLONG;
  return c;
}

SchemaLayout Catalogs() {
  return {&DBSCHEMA_CATALOGS, {Text(u"CATALOG_NAME"), LongText(u"DESCRIPTION")}, {u"CATALOG_NAME"}};
}

SchemaLayout Tables() {
  return {&DBSCHEMA_TABLES,
          {Text(u"TABLE_CATALOG"), Text(u"TABLE_SCHEMA"), Text(u"TABLE_NAME"), Text(u"TABLE_TYPE"),
           Column(u"TABLE_GUID", DBTYPE_GUID), LongText(u"DESCRIPTION"), Column(u"TABLE_PROPID", DBTYPE_UI4),
           Column(u"DATE_CREATED", DBTYPE_DATE), Column(u"DATE_MODIFIED", DBTYPE_DATE)},
          {u"TABLE_CATALOG", u"TABLE_SCHEMA", u"TABLE_NAME", u"TABLE_TYPE"}};
}

SchemaLayout Columns() {
  return {&DBSCHEMA_COLUMNS,
          {Text(u"TABLE_CATALOG"), Text(u"TABLE_SCHEMA"), Text(u"TABLE_NAME"), Text(u"COLUMN_NAME"),
           Column(u"COLUMN_GUID", DBTYPE_GUID), Column(u"COLUMN_PROPID", DBTYPE_UI4),
           Column(u"ORDINAL_POSITION", DBTYPE_UI4), Column(u"COLUMN_HASDEFAULT", DBTYPE_BOOL),
           LongText(u"COLUMN_DEFAULT"), Column(u"COLUMN_FLAGS", DBTYPE_UI4),
           Column(u"IS_NULLABLE", DBTYPE_BOOL), Column(u"DATA_TYPE", DBTYPE_UI2),
           Column(u"TYPE_GUID", DBTYPE_GUID), Column(u"CHARACTER_MAXIMUM_LENGTH", DBTYPE_UI4),
           Column(u"CHARACTER_OCTET_LENGTH", DBTYPE_UI4), Column(u"NUMERIC_PRECISION", DBTYPE_UI2),
           Column(u"NUMERIC_SCALE", DBTYPE_I2), Column(u"DATETIME_PRECISION", DBTYPE_UI4),
           Text(u"CHARACTER_SET_CATALOG"), Text(u"CHARACTER_SET_SCHEMA"), Text(u"CHARACTER_SET_NAME"),
           Text(u"COLLATION_CATALOG"), Text(u"COLLATION_SCHEMA"), Text(u"COLLATION_NAME"),
           Text(u"DOMAIN_CATALOG"), Text(u"DOMAIN_SCHEMA"), Text(u"DOMAIN_NAME"), LongText(u"DESCRIPTION")},
          {u"TABLE_CATALOG", u"TABLE_SCHEMA", u"TABLE_NAME", u"COLUMN_NAME"}};
}

SchemaLayout PrimaryKeys() {
  return {&DBSCHEMA_PRIMARY_KEYS,
          {Text(u"TABLE_CATALOG"), Text(u"TABLE_SCHEMA"), Text(u"TABLE_NAME"), Text(u"COLUMN_NAME"),
           Column(u"COLUMN_GUID", DBTYPE_GUID), Column(u"COLUMN_PROPID", DBTYPE_UI4),
           Column(u"ORDINAL", DBTYPE_UI4), Text(u"PK_NAME")},
          {u"TABLE_CATALOG", u"TABLE_SCHEMA", u"TABLE_NAME"}};
}

SchemaLayout ForeignKeys() {
  return {&DBSCHEMA_FOREIGN_KEYS,
          {Text(u"PK_TABLE_CATALOG"), Text(u"PK_TABLE_SCHEMA"), Text(u"PK_TABLE_NAME"), Text(u"PK_COLUMN_NAME"),
           Column(u"PK_COLUMN_GUID", DBTYPE_GUID), Column(u"PK_COLUMN_PROPID", DBTYPE_UI4),
           Text(u"FK_TABLE_CATALOG"), Text(u"FK_TABLE_SCHEMA"), Text(u"FK_TABLE_NAME"), Text(u"FK_COLUMN_NAME"),
           Column(u"FK_COLUMN_GUID", DBTYPE_GUID), Column(u"FK_COLUMN_PROPID", DBTYPE_UI4),
           Column(u"ORDINAL", DBTYPE_UI4), Text(u"UPDATE_RULE"), Text(u"DELETE_RULE"), Text(u"PK_NAME"),
           Text(u"FK_NAME"), Column(u"DEFERRABILITY", DBTYPE_I2)},
          {u"PK_TABLE_CATALOG", u"PK_TABLE_SCHEMA", u"PK_TABLE_NAME", u"FK_TABLE_CATALOG", u"FK_TABLE_SCHEMA",
           u"FK_TABLE_NAME"}};
}

SchemaLayout Indexes() {
  return {&DBSCHEMA_INDEXES,
          {Text(u"TABLE_CATALOG"), Text(u"TABLE_SCHEMA"), Text(u"TABLE_NAME"), Text(u"INDEX_CATALOG"),
           Text(u"INDEX_SCHEMA"), Text(u"INDEX_NAME"), Column(u"PRIMARY_KEY", DBTYPE_BOOL),
           Column(u"UNIQUE", DBTYPE_BOOL), Column(u"CLUSTERED", DBTYPE_BOOL), Column(u"TYPE", DBTYPE_UI2),
           Column(u"FILL_FACTOR", DBTYPE_I4), Column(u"INITIAL_SIZE", DBTYPE_I4), Column(u"NULLS", DBTYPE_I4),
           Column(u"SORT_BOOKMARKS", DBTYPE_BOOL), Column(u"AUTO_UPDATE", DBTYPE_BOOL),
           Column(u"NULL_COLLATION", DBTYPE_I4), Column(u"ORDINAL_POSITION", DBTYPE_UI4), Text(u"COLUMN_NAME"),
           Column(u"COLUMN_GUID", DBTYPE_GUID), Column(u"COLUMN_PROPID", DBTYPE_UI4),
           Column(u"COLLATION", DBTYPE_I2), Column(u"CARDINALITY", DBTYPE_UI8), Column(u"PAGES", DBTYPE_I4),
           LongText(u"FILTER_CONDITION"), Column(u"INTEGRATED", DBTYPE_BOOL)},
          {u"TABLE_CATALOG", u"TABLE_SCHEMA", u"INDEX_NAME", u"TYPE", u"TABLE_NAME"}};
}

SchemaLayout Views() {
  return {&DBSCHEMA_VIEWS,
          {Text(u"TABLE_CATALOG"), Text(u"TABLE_SCHEMA"), Text(u"TABLE_NAME"), LongText(u"VIEW_DEFINITION"),
           Column(u"CHECK_OPTION", DBTYPE_BOOL), Column(u"IS_UPDATABLE", DBTYPE_BOOL), LongText(u"DESCRIPTION"),
           Column(u"DATE_CREATED", DBTYPE_DATE), Column(u"DATE_MODIFIED", DBTYPE_DATE)},
          {u"TABLE_CATALOG", u"TABLE_SCHEMA", u"TABLE_NAME"}};
}

SchemaLayout Statistics() {
  return {&DBSCHEMA_STATISTICS,
          {Text(u"TABLE_CATALOG"), Text(u"TABLE_SCHEMA"), Text(u"TABLE_NAME"), Column(u"CARDINALITY", DBTYPE_UI8)},
          {u"TABLE_CATALOG", u"TABLE_SCHEMA", u"TABLE_NAME"}};
}

SchemaLayout ProviderTypes() {
  return {&DBSCHEMA_PROVIDER_TYPES,
          {Text(u"TYPE_NAME"), Column(u"DATA_TYPE", DBTYPE_UI2), Column(u"COLUMN_SIZE", DBTYPE_UI4),
           Text(u"LITERAL_PREFIX"), Text(u"LITERAL_SUFFIX"), Text(u"CREATE_PARAMS"),
           Column(u"IS_NULLABLE", DBTYPE_BOOL), Column(u"CASE_SENSITIVE", DBTYPE_BOOL),
           Column(u"SEARCHABLE", DBTYPE_UI4), Column(u"UNSIGNED_ATTRIBUTE", DBTYPE_BOOL),
           Column(u"FIXED_PREC_SCALE", DBTYPE_BOOL), Column(u"AUTO_UNIQUE_VALUE", DBTYPE_BOOL),
           Text(u"LOCAL_TYPE_NAME"), Column(u"MINIMUM_SCALE", DBTYPE_I2), Column(u"MAXIMUM_SCALE", DBTYPE_I2),
           Column(u"GUID", DBTYPE_GUID), Text(u"TYPELIB"), Text(u"VERSION"), Column(u"IS_LONG", DBTYPE_BOOL),
           Column(u"BEST_MATCH", DBTYPE_BOOL), Column(u"IS_FIXEDLENGTH", DBTYPE_BOOL)},
          {u"DATA_TYPE", u"BEST_MATCH"}};
}

SchemaLayout Procedures() {
  return {&DBSCHEMA_PROCEDURES,
          {Text(u"PROCEDURE_CATALOG"), Text(u"PROCEDURE_SCHEMA"), Text(u"PROCEDURE_NAME"),
           Column(u"PROCEDURE_TYPE", DBTYPE_I2), LongText(u"PROCEDURE_DEFINITION"), LongText(u"DESCRIPTION"),
           Column(u"DATE_CREATED", DBTYPE_DATE), Column(u"DATE_MODIFIED", DBTYPE_DATE)},
          {u"PROCEDURE_CATALOG", u"PROCEDURE_SCHEMA", u"PROCEDURE_NAME", u"PROCEDURE_TYPE"}};
}

SchemaLayout ProcedureParameters() {
  return {&DBSCHEMA_PROCEDURE_PARAMETERS,
          {Text(u"PROCEDURE_CATALOG"), Text(u"PROCEDURE_SCHEMA"), Text(u"PROCEDURE_NAME"), Text(u"PARAMETER_NAME"),
           Column(u"ORDINAL_POSITION", DBTYPE_UI2), Column(u"PARAMETER_TYPE", DBTYPE_UI2),
           Column(u"PARAMETER_HASDEFAULT", DBTYPE_BOOL), LongText(u"PARAMETER_DEFAULT"),
           Column(u"IS_NULLABLE", DBTYPE_BOOL), Column(u"DATA_TYPE", DBTYPE_UI2),
           Column(u"CHARACTER_MAXIMUM_LENGTH", DBTYPE_UI4), Column(u"CHARACTER_OCTET_LENGTH", DBTYPE_UI4),
           Column(u"NUMERIC_PRECISION", DBTYPE_UI2), Column(u"NUMERIC_SCALE", DBTYPE_I2), LongText(u"DESCRIPTION"),
           Text(u"TYPE_NAME"), Text(u"LOCAL_TYPE_NAME")},
          {u"PROCEDURE_CATALOG", u"PROCEDURE_SCHEMA", u"PROCEDURE_NAME", u"PARAMETER_NAME"}};
}

}  // namespace

const std::vector<SchemaLayout>& StandardSchemaLayouts() {
  static const std::vector<SchemaLayout> layouts = {Catalogs(),   Columns(),       ForeignKeys(),
                                                    Indexes(),    PrimaryKeys(),   ProcedureParameters(),
                                                    Procedures(), ProviderTypes(), Statistics(),
                                                    Tables(),     Views()};
  return layouts;
}

const SchemaLayout* FindSchemaLayout(REFGUID schema) {
  for (const auto& layout : StandardSchemaLayouts())
    if (*layout.schema == schema) return &layout;
  return nullptr;
}

HRESULT ListSchemas(const std::vector<SupportedSchema>& schemas, ULONG* pcSchemas, GUID** prgSchemas,
                    ULONG** prgRestrictionSupport) {
  if (pcSchemas) *pcSchemas = 0;
  if (prgSchemas) *prgSchemas = nullptr;
  if (prgRestrictionSupport) *prgRestrictionSupport = nullptr;
  if (!pcSchemas || !prgSchemas || !prgRestrictionSupport) return E_INVALIDARG;
  const size_t n = schemas.size();
  auto* guids = static_cast<GUID*>(CoTaskMemAlloc(n * sizeof(GUID)));
  auto* support = static_cast<ULONG*>(CoTaskMemAlloc(n * sizeof(ULONG)));
  if (!guids || !support) {
    CoTaskMemFree(guids);
    CoTaskMemFree(support);
    return E_OUTOFMEMORY;
  }
  for (size_t i = 0; i < n; ++i) {
    guids[i] = *schemas[i].schema;
    support[i] = schemas[i].restrictionSupport;
  }
  *pcSchemas = static_cast<ULONG>(n);
  *prgSchemas = guids;
  *prgRestrictionSupport = support;
  return S_OK;
}
