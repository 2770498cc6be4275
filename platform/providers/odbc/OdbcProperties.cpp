#include "OdbcProperties.h"

#include <algorithm>

namespace {

constexpr DBPROPFLAGS kInit = DBPROPFLAGS_DBINIT | DBPROPFLAGS_READ | DBPROPFLAGS_WRITE;
constexpr DBPROPFLAGS kInfo = DBPROPFLAGS_DATASOURCEINFO | DBPROPFLAGS_READ;
constexpr DBPROPFLAGS kSource = DBPROPFLAGS_DATASOURCE | DBPROPFLAGS_READ;
constexpr DBPROPFLAGS kSession = DBPROPFLAGS_SESSION | DBPROPFLAGS_READ;
constexpr DBPROPFLAGS kRowRead = DBPROPFLAGS_ROWSET | DBPROPFLAGS_READ;
constexpr DBPROPFLAGS kRowWrite = DBPROPFLAGS_ROWSET | DBPROPFLAGS_READ | DBPROPFLAGS_WRITE;

constexpr PropertyDefault None() { return {}; }
constexpr PropertyDefault Bool(bool b) { return {VT_BOOL, b ? 1 : 0, nullptr}; }
constexpr PropertyDefault I4(int64_t v) { return {VT_I4, v, nullptr}; }
constexpr PropertyDefault I2(int64_t v) { return {VT_I2, v, nullptr}; }
constexpr PropertyDefault Text(const OLECHAR* t) { return {VT_BSTR, 0, t}; }

// The descriptions of the initialization properties are the keywords of
// initialization strings, so they are the established names.
const PropertyDef kProperties[] = {
    // Initialization.
    {&DBPROPSET_DBINIT, DBPROP_AUTH_PASSWORD, VT_BSTR, kInit, None(), u"Password"},
    {&DBPROPSET_DBINIT, DBPROP_AUTH_USERID, VT_BSTR, kInit, None(), u"User ID"},
    {&DBPROPSET_DBINIT, DBPROP_INIT_CATALOG, VT_BSTR, kInit, None(), u"Initial Catalog"},
    {&DBPROPSET_DBINIT, DBPROP_INIT_DATASOURCE, VT_BSTR, kInit, None(), u"Data Source"},
    // Window handles are pointer-sized here, hence VT_I8.
    {&DBPROPSET_DBINIT, DBPROP_INIT_HWND, VT_I8, kInit, None(), u"Window Handle"},
    {&DBPROPSET_DBINIT, DBPROP_INIT_PROMPT, VT_I2, kInit, I2(DBPROMPT_NOPROMPT), u"Prompt"},
    {&DBPROPSET_DBINIT, DBPROP_INIT_PROVIDERSTRING, VT_BSTR, kInit, None(), u"Extended Properties"},
    {&DBPROPSET_DBINIT, DBPROP_INIT_TIMEOUT, VT_I4, kInit, I4(15), u"Connect Timeout"},
    // Data source information, available once initialized; the values the
    // server gives are filled in from SQLGetInfo.
    {&DBPROPSET_DATASOURCEINFO, DBPROP_BYREFACCESSORS, VT_BOOL, kInfo, Bool(true), u"Pass By Ref Accessors"},
    {&DBPROPSET_DATASOURCEINFO, DBPROP_CATALOGLOCATION, VT_I4, kInfo, I4(DBPROPVAL_CL_START), u"Catalog Location"},
    {&DBPROPSET_DATASOURCEINFO, DBPROP_CATALOGTERM, VT_BSTR, kInfo, None(), u"Catalog Term"},
    {&DBPROPSET_DATASOURCEINFO, DBPROP_CATALOGUSAGE, VT_I4, kInfo, I4(0), u"Catalog Usage"},
    {&DBPROPSET_DATASOURCEINFO, DBPROP_DATASOURCENAME, VT_BSTR, kInfo, None(), u"Data Source Name"},
    {&DBPROPSET_DATASOURCEINFO, DBPROP_DATASOURCEREADONLY, VT_BOOL, kInfo, Bool(false), u"Read-Only Data Source"},
    {&DBPROPSET_DATASOURCEINFO, DBPROP_DBMSNAME, VT_BSTR, kInfo, None(), u"DBMS Name"},
    {&DBPROPSET_DATASOURCEINFO, DBPROP_DBMSVER, VT_BSTR, kInfo, None(), u"DBMS Version"},
    {&DBPROPSET_DATASOURCEINFO, DBPROP_DSOTHREADMODEL, VT_I4, kInfo, I4(DBPROPVAL_RT_FREETHREAD), u"Data Source Object Threading Model"},
    {&DBPROPSET_DATASOURCEINFO, DBPROP_IDENTIFIERCASE, VT_I4, kInfo, I4(DBPROPVAL_IC_MIXED), u"Identifier Case Sensitivity"},
    {&DBPROPSET_DATASOURCEINFO, DBPROP_MULTIPLERESULTS, VT_I4, kInfo, I4(0), u"Multiple Results"},
    {&DBPROPSET_DATASOURCEINFO, DBPROP_PROVIDERFRIENDLYNAME, VT_BSTR, kInfo,
     Text(u"Ravezov OLE DB Provider for ODBC Drivers"), u"Provider Friendly Name"},
    {&DBPROPSET_DATASOURCEINFO, DBPROP_PROVIDERNAME, VT_BSTR, kInfo, Text(u"ravezov_odbc"), u"Provider Name"},
    {&DBPROPSET_DATASOURCEINFO, DBPROP_PROVIDEROLEDBVER, VT_BSTR, kInfo, Text(u"02.00"), u"OLE DB Version"},
    {&DBPROPSET_DATASOURCEINFO, DBPROP_PROVIDERVER, VT_BSTR, kInfo, Text(u"01.00.0000"), u"Provider Version"},
    {&DBPROPSET_DATASOURCEINFO, DBPROP_ROWSETCONVERSIONSONCOMMAND, VT_BOOL, kInfo, Bool(true), u"Rowset Conversions on Command"},
    {&DBPROPSET_DATASOURCEINFO, DBPROP_SCHEMATERM, VT_BSTR, kInfo, None(), u"Schema Term"},
    {&DBPROPSET_DATASOURCEINFO, DBPROP_SCHEMAUSAGE, VT_I4, kInfo, I4(0), u"Schema Usage"},
    {&DBPROPSET_DATASOURCEINFO, DBPROP_SQLSUPPORT, VT_I4, kInfo,
     I4(DBPROPVAL_SQL_ODBC_MINIMUM | DBPROPVAL_SQL_ODBC_CORE), u"SQL Support"},
    {&DBPROPSET_DATASOURCEINFO, DBPROP_TABLETERM, VT_BSTR, kInfo, None(), u"Table Term"},
    // Data source.
    {&DBPROPSET_DATASOURCE, DBPROP_CURRENTCATALOG, VT_BSTR, kSource, None(), u"Current Catalog"},
    // Session.
    {&DBPROPSET_SESSION, DBPROP_SESS_AUTOCOMMITISOLEVELS, VT_I4, kSession,
     I4(DBPROPVAL_TI_READCOMMITTED), u"Autocommit Isolation Levels"},
    // Rowset.
    {&DBPROPSET_ROWSET, DBPROP_BOOKMARKS, VT_BOOL, kRowWrite, Bool(false), u"Use Bookmarks"},
    {&DBPROPSET_ROWSET, DBPROP_BOOKMARKTYPE, VT_I4, kRowRead, I4(DBPROPVAL_BMK_NUMERIC), u"Bookmark Type"},
    {&DBPROPSET_ROWSET, DBPROP_CANFETCHBACKWARDS, VT_BOOL, kRowRead, Bool(false), u"Fetch Backwards"},
    {&DBPROPSET_ROWSET, DBPROP_CANHOLDROWS, VT_BOOL, kRowWrite, Bool(true), u"Hold Rows"},
    {&DBPROPSET_ROWSET, DBPROP_CANSCROLLBACKWARDS, VT_BOOL, kRowRead, Bool(false), u"Scroll Backwards"},
    {&DBPROPSET_ROWSET, DBPROP_COMMANDTIMEOUT, VT_I4, kRowWrite, I4(0), u"Command Time Out"},
    {&DBPROPSET_ROWSET, DBPROP_IAccessor, VT_BOOL, kRowRead, Bool(true), u"IAccessor"},
    {&DBPROPSET_ROWSET, DBPROP_IColumnsInfo, VT_BOOL, kRowRead, Bool(true), u"IColumnsInfo"},
    {&DBPROPSET_ROWSET, DBPROP_IColumnsRowset, VT_BOOL, kRowWrite, Bool(true), u"IColumnsRowset"},
    {&DBPROPSET_ROWSET, DBPROP_IConvertType, VT_BOOL, kRowRead, Bool(true), u"IConvertType"},
    {&DBPROPSET_ROWSET, DBPROP_IRowset, VT_BOOL, kRowRead, Bool(true), u"IRowset"},
    {&DBPROPSET_ROWSET, DBPROP_IRowsetChange, VT_BOOL, kRowWrite, Bool(false), u"IRowsetChange"},
    {&DBPROPSET_ROWSET, DBPROP_IRowsetInfo, VT_BOOL, kRowRead, Bool(true), u"IRowsetInfo"},
    {&DBPROPSET_ROWSET, DBPROP_IRowsetLocate, VT_BOOL, kRowWrite, Bool(false), u"IRowsetLocate"},
    {&DBPROPSET_ROWSET, DBPROP_ISupportErrorInfo, VT_BOOL, kRowWrite, Bool(true), u"ISupportErrorInfo"},
    {&DBPROPSET_ROWSET, DBPROP_LITERALBOOKMARKS, VT_BOOL, kRowRead, Bool(false), u"Literal Bookmarks"},
    {&DBPROPSET_ROWSET, DBPROP_ORDEREDBOOKMARKS, VT_BOOL, kRowRead, Bool(true), u"Bookmarks Ordered"},
    {&DBPROPSET_ROWSET, DBPROP_OTHERINSERT, VT_BOOL, kRowRead, Bool(false), u"Others' Inserts Visible"},
    {&DBPROPSET_ROWSET, DBPROP_OTHERUPDATEDELETE, VT_BOOL, kRowRead, Bool(false), u"Others' Changes Visible"},
    {&DBPROPSET_ROWSET, DBPROP_OWNINSERT, VT_BOOL, kRowRead, Bool(false), u"Own Inserts Visible"},
    {&DBPROPSET_ROWSET, DBPROP_OWNUPDATEDELETE, VT_BOOL, kRowRead, Bool(true), u"Own Changes Visible"},
    {&DBPROPSET_ROWSET, DBPROP_REMOVEDELETED, VT_BOOL, kRowRead, Bool(false), u"Remove Deleted Rows"},
    {&DBPROPSET_ROWSET, DBPROP_UPDATABILITY, VT_I4, kRowWrite, I4(0), u"Updatability"},
};

std::span<const PropertyDef> SetRange(const GUID& first, const GUID& last) {
  std::span<const PropertyDef> all(kProperties);
  auto begin = std::find_if(all.begin(), all.end(), [&](auto& d) { return *d.set == first; });
  auto end = std::find_if(all.rbegin(), all.rend(), [&](auto& d) { return *d.set == last; }).base();
  return {begin, end};
}

}  // namespace

std::span<const PropertyDef> OdbcAllProperties() { return kProperties; }
std::span<const PropertyDef> OdbcSessionProperties() {
  return SetRange(DBPROPSET_SESSION, DBPROPSET_SESSION);
}
std::span<const PropertyDef> OdbcRowsetProperties() {
  return SetRange(DBPROPSET_ROWSET, DBPROPSET_ROWSET);
}
