#include "OdbcProperties.h"

#include "PropertyShorthands.h"
#include "ProviderPropertyTable.h"
#include "StandardProperties.h"

namespace {

using namespace prop;

// The descriptions of the initialization properties are the keywords of
// initialization strings, so they are the established names.
const PropertyDef kInitialization[] = {
    {&DBPROPSET_DBINIT, DBPROP_AUTH_PASSWORD, VT_BSTR, kInit, None(), u"Password"},
    {&DBPROPSET_DBINIT, DBPROP_AUTH_USERID, VT_BSTR, kInit, None(), u"User ID"},
    {&DBPROPSET_DBINIT, DBPROP_INIT_CATALOG, VT_BSTR, kInit, None(), u"Initial Catalog"},
    {&DBPROPSET_DBINIT, DBPROP_INIT_DATASOURCE, VT_BSTR, kInit, None(), u"Data Source"},
    // Window handles are pointer-sized here, hence VT_I8.
    {&DBPROPSET_DBINIT, DBPROP_INIT_HWND, VT_I8, kInit, None(), u"Window Handle"},
    {&DBPROPSET_DBINIT, DBPROP_INIT_PROMPT, VT_I2, kInit, I2(DBPROMPT_NOPROMPT), u"Prompt"},
    {&DBPROPSET_DBINIT, DBPROP_INIT_PROVIDERSTRING, VT_BSTR, kInit, None(), u"Extended Properties"},
    {&DBPROPSET_DBINIT, DBPROP_INIT_TIMEOUT, VT_I4, kInit, I4(15), u"Connect Timeout"},
};

// Available once initialized; the values the server gives are filled in
// from SQLGetInfo.
const PropertyDef kDataSourceInfo[] = {
    {&DBPROPSET_DATASOURCEINFO, DBPROP_CATALOGTERM, VT_BSTR, kInfo, None(), u"Catalog Term"},
    {&DBPROPSET_DATASOURCEINFO, DBPROP_CATALOGUSAGE, VT_I4, kInfo, I4(0), u"Catalog Usage"},
    {&DBPROPSET_DATASOURCEINFO, DBPROP_DBMSNAME, VT_BSTR, kInfo, None(), u"DBMS Name"},
    {&DBPROPSET_DATASOURCEINFO, DBPROP_PROVIDERFRIENDLYNAME, VT_BSTR, kInfo,
     Text(u"Ravezov OLE DB Provider for ODBC Drivers"), u"Provider Friendly Name"},
    {&DBPROPSET_DATASOURCEINFO, DBPROP_PROVIDERNAME, VT_BSTR, kInfo, Text(u"ravezov_odbc"), u"Provider Name"},
    {&DBPROPSET_DATASOURCEINFO, DBPROP_SCHEMATERM, VT_BSTR, kInfo, None(), u"Schema Term"},
    {&DBPROPSET_DATASOURCEINFO, DBPROP_TABLETERM, VT_BSTR, kInfo, None(), u"Table Term"},
};

const PropertyDef kSourceAndSession[] = {
    {&DBPROPSET_DATASOURCE, DBPROP_CURRENTCATALOG, VT_BSTR, kSource, None(), u"Current Catalog"},
    {&DBPROPSET_SESSION, DBPROP_SESS_AUTOCOMMITISOLEVELS, VT_I4, kSession,
     I4(DBPROPVAL_TI_READCOMMITTED), u"Autocommit Isolation Levels"},
};

const CProviderPropertyTable& Table() {
  static const CProviderPropertyTable table({kInitialization, StandardDataSourceInfoProperties(), kDataSourceInfo,
                                             kSourceAndSession, StandardRowsetProperties()});
  return table;
}

}  // namespace

std::span<const PropertyDef> OdbcAllProperties() { return Table().All(); }
std::span<const PropertyDef> OdbcSessionProperties() { return Table().Set(DBPROPSET_SESSION); }
std::span<const PropertyDef> OdbcRowsetProperties() { return Table().Set(DBPROPSET_ROWSET); }
