// The declarations must match the established binary contract: 32-bit
// lengths with pointer-sized handles, the registered GUID values, the status
// codes and the interface hierarchy.
#include <gtest/gtest.h>

#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "msdaguid.h"
#include "msdasc.h"
#include "objbase.h"
#include "oledb.h"
#include "oledberr.h"

namespace {

std::string GuidText(REFGUID guid) {
  OLECHAR wide[40] = {};
  StringFromGUID2(guid, wide, 40);
  return std::string(wide, wide + 38);
}

struct NamedGuid {
  const char* name;
  const GUID& guid;
};

TEST(OleDbDeclarationsTest, LengthsAre32BitAndHandlesPointerSized) {
  static_assert(sizeof(DBLENGTH) == 4 && sizeof(DBORDINAL) == 4 && sizeof(DBBYTEOFFSET) == 4);
  static_assert(sizeof(DBCOUNTITEM) == 4 && sizeof(DBREFCOUNT) == 4 && sizeof(DBHASHVALUE) == 4);
  static_assert(sizeof(DBROWCOUNT) == 4 && std::is_signed_v<DBROWCOUNT>);
  static_assert(std::is_signed_v<DBROWOFFSET>);
  static_assert(sizeof(HROW) == sizeof(void*) && sizeof(HACCESSOR) == sizeof(void*));
  static_assert(sizeof(HCHAPTER) == sizeof(void*));
  static_assert(sizeof(DBTYPE) == 2 && sizeof(DBSTATUS) == 4);

  static_assert(std::is_same_v<decltype(DBBINDING::iOrdinal), DBORDINAL>);
  static_assert(std::is_same_v<decltype(DBBINDING::obValue), DBBYTEOFFSET>);
  static_assert(std::is_same_v<decltype(DBBINDING::obLength), DBBYTEOFFSET>);
  static_assert(std::is_same_v<decltype(DBBINDING::obStatus), DBBYTEOFFSET>);
  static_assert(std::is_same_v<decltype(DBBINDING::cbMaxLen), DBLENGTH>);
  static_assert(std::is_same_v<decltype(DBBINDING::wType), DBTYPE>);
  static_assert(std::is_same_v<decltype(DBCOLUMNINFO::ulColumnSize), DBLENGTH>);
  static_assert(std::is_same_v<decltype(DBPARAMS::hAccessor), HACCESSOR>);
  SUCCEED();
}

TEST(OleDbDeclarationsTest, GuidsHaveTheirRegisteredValues) {
  const std::pair<const GUID&, const char*> known[] = {
      {IID_IRowset, "{0C733A7C-2A1C-11CE-ADE5-00AA0044773D}"},
      {IID_IAccessor, "{0C733A8C-2A1C-11CE-ADE5-00AA0044773D}"},
      {IID_IDBInitialize, "{0C733A8B-2A1C-11CE-ADE5-00AA0044773D}"},
      {IID_ICommandText, "{0C733A27-2A1C-11CE-ADE5-00AA0044773D}"},
      {IID_IDBSchemaRowset, "{0C733A7B-2A1C-11CE-ADE5-00AA0044773D}"},
      {IID_IDataInitialize, "{2206CCB1-19C1-11D1-89E0-00C04FD7A829}"},
      {IID_IDBPromptInitialize, "{2206CCB0-19C1-11D1-89E0-00C04FD7A829}"},
      {CLSID_DataLinks, "{2206CDB2-19C1-11D1-89E0-00C04FD7A829}"},
      {CLSID_MSDAINITIALIZE, "{2206CDB0-19C1-11D1-89E0-00C04FD7A829}"},
      {CLSID_OLEDB_ENUMERATOR, "{C8B522D0-5CF3-11CE-ADE5-00AA0044773D}"},
      {DBSCHEMA_TABLES, "{C8B52229-5CF3-11CE-ADE5-00AA0044773D}"},
      {DBSCHEMA_COLUMNS, "{C8B52214-5CF3-11CE-ADE5-00AA0044773D}"},
      {DBPROPSET_DBINIT, "{C8B522BC-5CF3-11CE-ADE5-00AA0044773D}"},
      {DBPROPSET_ROWSET, "{C8B522BE-5CF3-11CE-ADE5-00AA0044773D}"},
      {DBGUID_DBSQL, "{C8B521FB-5CF3-11CE-ADE5-00AA0044773D}"},
  };
  for (const auto& [guid, text] : known) EXPECT_EQ(GuidText(guid), text);
}

TEST(OleDbDeclarationsTest, CodesAndIdentifiersHaveTheirEstablishedValues) {
  EXPECT_EQ(static_cast<uint32_t>(DB_E_CANCELED), 0x80040E4Eu);
  EXPECT_EQ(static_cast<uint32_t>(DB_E_NOTABLE), 0x80040E37u);
  EXPECT_EQ(static_cast<uint32_t>(DB_E_ERRORSOCCURRED), 0x80040E21u);
  EXPECT_EQ(static_cast<uint32_t>(DB_E_BADACCESSORHANDLE), 0x80040E00u);
  EXPECT_EQ(DB_S_ERRORSOCCURRED, 0x00040EDA);
  EXPECT_EQ(DB_S_ENDOFROWSET, 0x00040EC6);
  EXPECT_TRUE(FAILED(DB_E_CANCELED) && FAILED(DB_SEC_E_AUTH_FAILED));
  EXPECT_TRUE(SUCCEEDED(DB_S_ENDOFROWSET) && DB_S_ENDOFROWSET != S_OK);

  EXPECT_EQ(DBTYPE_STR, 129);
  EXPECT_EQ(DBTYPE_WSTR, 130);
  EXPECT_EQ(DBTYPE_BYREF, 0x4000);
  EXPECT_EQ(DBTYPE_IUNKNOWN, 13);
  EXPECT_EQ(DBSTATUS_S_ISNULL, 3u);
  EXPECT_EQ(DBSTATUS_S_TRUNCATED, 4u);
  EXPECT_EQ(DBPROP_IRowsetChange, 0x7Fu);
  EXPECT_EQ(DBPROP_IRowsetLocate, 0x82u);
  EXPECT_EQ(DBPROP_ISupportErrorInfo, 0x87u);
  EXPECT_EQ(DBLITERAL_CATALOG_NAME, 2u);
  EXPECT_EQ(DBLITERAL_CATALOG_SEPARATOR, 3u);
  EXPECT_EQ(DBLITERAL_QUOTE_PREFIX, 15u);
  EXPECT_EQ(DBLITERAL_SCHEMA_NAME, 16u);
  EXPECT_EQ(DBLITERAL_SCHEMA_SEPARATOR, 27u);
  EXPECT_EQ(DBLITERAL_QUOTE_SUFFIX, 28u);
}

void ExpectAllDistinct(const std::vector<NamedGuid>& table) {
  for (size_t i = 0; i < table.size(); ++i)
    for (size_t j = i + 1; j < table.size(); ++j)
      EXPECT_FALSE(table[i].guid == table[j].guid) << table[i].name << " = " << table[j].name;
}

#define NAMED(g) NamedGuid{#g, g}

TEST(OleDbDeclarationsTest, SchemaGuidsAreDistinct) {
  ExpectAllDistinct({
      NAMED(DBSCHEMA_ASSERTIONS),
      NAMED(DBSCHEMA_CATALOGS),
      NAMED(DBSCHEMA_CHARACTER_SETS),
      NAMED(DBSCHEMA_CHECK_CONSTRAINTS),
      NAMED(DBSCHEMA_CHECK_CONSTRAINTS_BY_TABLE),
      NAMED(DBSCHEMA_COLLATIONS),
      NAMED(DBSCHEMA_COLUMN_DOMAIN_USAGE),
      NAMED(DBSCHEMA_COLUMN_PRIVILEGES),
      NAMED(DBSCHEMA_COLUMNS),
      NAMED(DBSCHEMA_CONSTRAINT_COLUMN_USAGE),
      NAMED(DBSCHEMA_CONSTRAINT_TABLE_USAGE),
      NAMED(DBSCHEMA_FOREIGN_KEYS),
      NAMED(DBSCHEMA_INDEXES),
      NAMED(DBSCHEMA_KEY_COLUMN_USAGE),
      NAMED(DBSCHEMA_PRIMARY_KEYS),
      NAMED(DBSCHEMA_PROCEDURE_COLUMNS),
      NAMED(DBSCHEMA_PROCEDURE_PARAMETERS),
      NAMED(DBSCHEMA_PROCEDURES),
      NAMED(DBSCHEMA_PROVIDER_TYPES),
      NAMED(DBSCHEMA_REFERENTIAL_CONSTRAINTS),
      NAMED(DBSCHEMA_SCHEMATA),
      NAMED(DBSCHEMA_SQL_LANGUAGES),
      NAMED(DBSCHEMA_STATISTICS),
      NAMED(DBSCHEMA_TABLE_CONSTRAINTS),
      NAMED(DBSCHEMA_TABLE_PRIVILEGES),
      NAMED(DBSCHEMA_TABLE_STATISTICS),
      NAMED(DBSCHEMA_TABLES),
      NAMED(DBSCHEMA_TABLES_INFO),
      NAMED(DBSCHEMA_TRANSLATIONS),
      NAMED(DBSCHEMA_TRUSTEE),
      NAMED(DBSCHEMA_USAGE_PRIVILEGES),
      NAMED(DBSCHEMA_VIEW_COLUMN_USAGE),
      NAMED(DBSCHEMA_VIEW_TABLE_USAGE),
      NAMED(DBSCHEMA_VIEWS),
      NAMED(DBSCHEMA_JETOLEDB_REPLPARTIALFILTERLIST),
      NAMED(DBSCHEMA_LINKEDSERVERS),
      NAMED(MDSCHEMA_ACTIONS),
      NAMED(MDSCHEMA_COMMANDS),
      NAMED(MDSCHEMA_CUBES),
      NAMED(MDSCHEMA_DIMENSIONS),
      NAMED(MDSCHEMA_FUNCTIONS),
      NAMED(MDSCHEMA_HIERARCHIES),
      NAMED(MDSCHEMA_LEVELS),
      NAMED(MDSCHEMA_MEASURES),
      NAMED(MDSCHEMA_MEMBERS),
      NAMED(MDSCHEMA_PROPERTIES),
      NAMED(MDSCHEMA_SETS),
  });
}

TEST(OleDbDeclarationsTest, PropertySetGuidsAreDistinct) {
  ExpectAllDistinct({
      NAMED(DBPROPSET_COLUMN),
      NAMED(DBPROPSET_DATASOURCE),
      NAMED(DBPROPSET_DATASOURCEINFO),
      NAMED(DBPROPSET_INDEX),
      NAMED(DBPROPSET_DBINIT),
      NAMED(DBPROPSET_ROWSET),
      NAMED(DBPROPSET_SESSION),
      NAMED(DBPROPSET_TABLE),
      NAMED(DBPROPSET_VIEW),
      NAMED(DBPROPSET_STREAM),
      NAMED(DBPROPSET_TRUSTEE),
      NAMED(DBPROPSET_PROPERTIESINERROR),
      NAMED(DBPROPSET_COLUMNALL),
      NAMED(DBPROPSET_CONSTRAINTALL),
      NAMED(DBPROPSET_DATASOURCEALL),
      NAMED(DBPROPSET_DATASOURCEINFOALL),
      NAMED(DBPROPSET_DBINITALL),
      NAMED(DBPROPSET_INDEXALL),
      NAMED(DBPROPSET_ROWSETALL),
      NAMED(DBPROPSET_SESSIONALL),
      NAMED(DBPROPSET_STREAMALL),
      NAMED(DBPROPSET_TABLEALL),
      NAMED(DBPROPSET_TRUSTEEALL),
      NAMED(DBPROPSET_VIEWALL),
      NAMED(DBPROPSET_SQLSERVERDBINIT),
      NAMED(DBPROPSET_SQLSERVERROWSET),
      NAMED(DBPROPSET_SQLSERVERDATASOURCE),
      NAMED(DBPROPSET_SQLSERVERDATASOURCEINFO),
      NAMED(DBPROPSET_SQLSERVERSESSION),
      NAMED(DBPROPSET_SQLSERVERCOLUMN),
      NAMED(DBPROPSET_SQLSERVERSTREAM),
      NAMED(DBPROPSET_JETOLEDB_ROWSET),
      NAMED(DBPROPSET_JETOLEDB_SESSION),
      NAMED(DBPROPSET_JETOLEDB_DBINIT),
      NAMED(DBPROPSET_JETOLEDB_TABLE),
      NAMED(DBPROPSET_JETOLEDB_COLUMN),
      NAMED(DBPROPSET_JETOLEDB_TRUSTEE),
      NAMED(DBPROPSET_MSDAORA_ROWSET),
      NAMED(DBPROPSET_PROVIDERDATASOURCEINFO),
      NAMED(DBPROPSET_PROVIDERROWSET),
      NAMED(DBPROPSET_PROVIDERDBINIT),
      NAMED(DBPROPSET_PROVIDERSTMTATTR),
      NAMED(DBPROPSET_PROVIDERCONNATTR),
      NAMED(DBPROPSET_MSDSDBINIT),
      NAMED(DBPROPSET_MSDSSESSION),
      NAMED(DBPROPSET_PWROWSET),
      NAMED(DBPROPSET_ADC),
      NAMED(DBPROPSET_MSREMOTE_DBINIT),
      NAMED(DBPROPSET_MSREMOTE_DATASOURCE),
      NAMED(DBPROPSET_PERSIST),
  });
}

TEST(OleDbDeclarationsTest, InterfaceIdsAreDistinct) {
  ExpectAllDistinct({
      NAMED(IID_IUnknown),
      NAMED(IID_IErrorInfo),
      NAMED(IID_ISupportErrorInfo),
      NAMED(IID_IAccessor),
      NAMED(IID_IRowset),
      NAMED(IID_IRowsetInfo),
      NAMED(IID_IRowsetLocate),
      NAMED(IID_IRowsetScroll),
      NAMED(IID_IChapteredRowset),
      NAMED(IID_IRowsetChange),
      NAMED(IID_IRowsetUpdate),
      NAMED(IID_IRowsetIdentity),
      NAMED(IID_ICommand),
      NAMED(IID_IMultipleResults),
      NAMED(IID_IConvertType),
      NAMED(IID_ICommandPrepare),
      NAMED(IID_ICommandProperties),
      NAMED(IID_ICommandText),
      NAMED(IID_ICommandWithParameters),
      NAMED(IID_IColumnsRowset),
      NAMED(IID_IColumnsInfo),
      NAMED(IID_IDBCreateCommand),
      NAMED(IID_IDBCreateSession),
      NAMED(IID_ISourcesRowset),
      NAMED(IID_IDBProperties),
      NAMED(IID_IDBInitialize),
      NAMED(IID_IDBInfo),
      NAMED(IID_IDBDataSourceAdmin),
      NAMED(IID_ISessionProperties),
      NAMED(IID_IOpenRowset),
      NAMED(IID_IDBSchemaRowset),
      NAMED(IID_IGetDataSource),
      NAMED(IID_IErrorRecords),
      NAMED(IID_IErrorLookup),
      NAMED(IID_ISQLErrorInfo),
      NAMED(IID_IDataInitialize),
      NAMED(IID_IDBPromptInitialize),
  });
}

TEST(OleDbDeclarationsTest, DerivedInterfacesExtendTheirBases) {
  static_assert(std::is_base_of_v<ICommand, ICommandText>);
  static_assert(std::is_base_of_v<IRowset, IRowsetLocate>);
  static_assert(std::is_base_of_v<IRowsetLocate, IRowsetScroll>);
  static_assert(std::is_base_of_v<IRowsetChange, IRowsetUpdate>);
  static_assert(std::is_same_v<InterfaceTraits<ICommandText>::Base, ICommand>);
  static_assert(std::is_same_v<InterfaceTraits<IRowsetLocate>::Base, IRowset>);
  static_assert(std::is_same_v<InterfaceTraits<IDBInitialize>::Base, IUnknown>);
  EXPECT_TRUE(IidOf<IRowsetLocate>() == IID_IRowsetLocate);
  EXPECT_TRUE(IidOf<IDataInitialize>() == IID_IDataInitialize);
}

TEST(OleDbDeclarationsTest, NullIdIsEmpty) {
  EXPECT_TRUE(DB_NULLID.uGuid.guid == GUID_NULL);
  EXPECT_EQ(DB_NULLID.eKind, DBKIND_GUID_NAME);
  EXPECT_EQ(DB_NULLID.uName.pwszName, nullptr);
  EXPECT_EQ(DBCOLUMN_NAME.eKind, DBKIND_GUID_PROPID);
  EXPECT_EQ(DBCOLUMN_NAME.uName.ulPropid, 3u);
}

}  // namespace
