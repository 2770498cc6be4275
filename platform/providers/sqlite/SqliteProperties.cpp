#include "SqliteProperties.h"

#include "PropertyShorthands.h"
#include "ProviderPropertyTable.h"
#include "StandardProperties.h"

namespace {

using namespace prop;

// The descriptions of the initialization properties are the keywords of
// initialization strings, so they are the established names.
const PropertyDef kInitialization[] = {
    // SQLite files have no password: the value is accepted and ignored, so
    // initialization strings that carry one still round-trip.
    {&DBPROPSET_DBINIT, DBPROP_AUTH_PASSWORD, VT_BSTR, kInit, None(), u"Password"},
    {&DBPROPSET_DBINIT, DBPROP_INIT_DATASOURCE, VT_BSTR, kInit, None(), u"Data Source"},
    // Window handles are pointer-sized here, hence VT_I8.
    {&DBPROPSET_DBINIT, DBPROP_INIT_HWND, VT_I8, kInit, None(), u"Window Handle"},
    {&DBPROPSET_DBINIT, DBPROP_INIT_MODE, VT_I4, kInit, I4(DB_MODE_READWRITE), u"Mode"},
    {&DBPROPSET_DBINIT, DBPROP_INIT_PROMPT, VT_I2, kInit, I2(DBPROMPT_NOPROMPT), u"Prompt"},
    {&DBPROPSET_DBINIT, DBPROP_INIT_PROVIDERSTRING, VT_BSTR, kInit, None(), u"Extended Properties"},
    {&DBPROPSET_DBINIT, DBPROP_INIT_TIMEOUT, VT_I4, kInit, I4(kSqliteDefaultBusyTimeoutSeconds),
     u"Connect Timeout"},
};

// Available once initialized.
const PropertyDef kDataSourceInfo[] = {
    {&DBPROPSET_DATASOURCEINFO, DBPROP_CATALOGTERM, VT_BSTR, kInfo, Text(u"database"), u"Catalog Term"},
    {&DBPROPSET_DATASOURCEINFO, DBPROP_CATALOGUSAGE, VT_I4, kInfo,
     I4(DBPROPVAL_CU_DML_STATEMENTS | DBPROPVAL_CU_TABLE_DEFINITION | DBPROPVAL_CU_INDEX_DEFINITION),
     u"Catalog Usage"},
    {&DBPROPSET_DATASOURCEINFO, DBPROP_DBMSNAME, VT_BSTR, kInfo, Text(u"SQLite"), u"DBMS Name"},
    {&DBPROPSET_DATASOURCEINFO, DBPROP_NULLCOLLATION, VT_I4, kInfo, I4(DBPROPVAL_NC_LOW), u"NULL Collation Order"},
    {&DBPROPSET_DATASOURCEINFO, DBPROP_OLEOBJECT, VT_I4, kInfo, I4(DBPROPVAL_OO_BLOB), u"OLE Object Support"},
    {&DBPROPSET_DATASOURCEINFO, DBPROP_PROVIDERFRIENDLYNAME, VT_BSTR, kInfo,
     Text(u"Ravezov OLE DB Provider for SQLite"), u"Provider Friendly Name"},
    {&DBPROPSET_DATASOURCEINFO, DBPROP_PROVIDERNAME, VT_BSTR, kInfo, Text(u"ravezov_sqlite"), u"Provider Name"},
    {&DBPROPSET_DATASOURCEINFO, DBPROP_QUOTEDIDENTIFIERCASE, VT_I4, kInfo, I4(DBPROPVAL_IC_MIXED),
     u"Quoted Identifier Sensitivity"},
    {&DBPROPSET_DATASOURCEINFO, DBPROP_STRUCTUREDSTORAGE, VT_I4, kInfo, I4(0), u"Structured Storage"},
    {&DBPROPSET_DATASOURCEINFO, DBPROP_TABLETERM, VT_BSTR, kInfo, Text(u"table"), u"Table Term"},
};

const PropertyDef kSourceAndSession[] = {
    {&DBPROPSET_DATASOURCE, DBPROP_CURRENTCATALOG, VT_BSTR, kSource, Text(u"main"), u"Current Catalog"},
    {&DBPROPSET_SESSION, DBPROP_SESS_AUTOCOMMITISOLEVELS, VT_I4, kSession,
     I4(DBPROPVAL_TI_SERIALIZABLE), u"Autocommit Isolation Levels"},
};

// An inserted row is read back from its table, so it shows what SQLite
// stored (defaults and the row id included).
const PropertyDef kRowset[] = {
    {&DBPROPSET_ROWSET, DBPROP_SERVERDATAONINSERT, VT_BOOL, kRowRead, Bool(true), u"Server Data on Insert"},
};

const CProviderPropertyTable& Table() {
  static const CProviderPropertyTable table({kInitialization, StandardDataSourceInfoProperties(), kDataSourceInfo,
                                             kSourceAndSession, StandardRowsetProperties(), kRowset});
  return table;
}

}  // namespace

std::span<const PropertyDef> SqliteAllProperties() { return Table().All(); }
std::span<const PropertyDef> SqliteSessionProperties() { return Table().Set(DBPROPSET_SESSION); }
std::span<const PropertyDef> SqliteRowsetProperties() { return Table().Set(DBPROPSET_ROWSET); }
