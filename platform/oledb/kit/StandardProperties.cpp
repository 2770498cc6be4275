#include "StandardProperties.h"

#include "PropertyShorthands.h"

namespace {

using namespace prop;

// Values a database gives (its name, version, terms and usages) are the
// provider's own entries and are not here.
const PropertyDef kDataSourceInfo[] = {
    {&DBPROPSET_DATASOURCEINFO, DBPROP_BYREFACCESSORS, VT_BOOL, kInfo, Bool(true), u"Pass By Ref Accessors"},
    {&DBPROPSET_DATASOURCEINFO, DBPROP_CATALOGLOCATION, VT_I4, kInfo, I4(DBPROPVAL_CL_START), u"Catalog Location"},
    {&DBPROPSET_DATASOURCEINFO, DBPROP_DATASOURCENAME, VT_BSTR, kInfo, None(), u"Data Source Name"},
    {&DBPROPSET_DATASOURCEINFO, DBPROP_DATASOURCEREADONLY, VT_BOOL, kInfo, Bool(false), u"Read-Only Data Source"},
    {&DBPROPSET_DATASOURCEINFO, DBPROP_DBMSVER, VT_BSTR, kInfo, None(), u"DBMS Version"},
    {&DBPROPSET_DATASOURCEINFO, DBPROP_DSOTHREADMODEL, VT_I4, kInfo, I4(DBPROPVAL_RT_FREETHREAD),
     u"Data Source Object Threading Model"},
    {&DBPROPSET_DATASOURCEINFO, DBPROP_IDENTIFIERCASE, VT_I4, kInfo, I4(DBPROPVAL_IC_MIXED),
     u"Identifier Case Sensitivity"},
    {&DBPROPSET_DATASOURCEINFO, DBPROP_MULTIPLERESULTS, VT_I4, kInfo, I4(0), u"Multiple Results"},
    {&DBPROPSET_DATASOURCEINFO, DBPROP_PROVIDEROLEDBVER, VT_BSTR, kInfo, Text(u"02.00"), u"OLE DB Version"},
    {&DBPROPSET_DATASOURCEINFO, DBPROP_PROVIDERVER, VT_BSTR, kInfo, Text(u"01.00.0000"), u"Provider Version"},
    {&DBPROPSET_DATASOURCEINFO, DBPROP_ROWSETCONVERSIONSONCOMMAND, VT_BOOL, kInfo, Bool(true),
     u"Rowset Conversions on Command"},
    {&DBPROPSET_DATASOURCEINFO, DBPROP_SCHEMAUSAGE, VT_I4, kInfo, I4(0), u"Schema Usage"},
    {&DBPROPSET_DATASOURCEINFO, DBPROP_SQLSUPPORT, VT_I4, kInfo,
     I4(DBPROPVAL_SQL_ODBC_MINIMUM | DBPROPVAL_SQL_ODBC_CORE), u"SQL Support"},
};

// What a rowset grants (bookmarks, IRowsetLocate, IRowsetChange,
// updatability) is recorded on its own copy when it opens.
const PropertyDef kRowset[] = {
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

}  // namespace

std::span<const PropertyDef> StandardDataSourceInfoProperties() { return kDataSourceInfo; }
std::span<const PropertyDef> StandardRowsetProperties() { return kRowset; }
