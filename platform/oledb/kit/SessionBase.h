// What every provider's session does alike: argument checks for opening
// tables, schema rowsets and commands, the session properties, the data
// source it belongs to and error support. A provider derives from it and
// supplies the hooks that reach its database.
//
// Every method here that fails leaves one error record naming the provider
// and the failing method's interface.
#pragma once

#include <mutex>
#include <span>
#include <string>
#include <string_view>

#include "ComObject.h"
#include "ComPtr.h"
#include "PropertyTable.h"
#include "oledb.h"

class CSessionBase : public ComObject<IGetDataSource, IOpenRowset, ISessionProperties, IDBCreateCommand,
                                      IDBSchemaRowset, ISupportErrorInfo> {
 public:
  // IGetDataSource
  HRESULT STDMETHODCALLTYPE GetDataSource(REFIID riid, IUnknown** ppDataSource) override;
  // IOpenRowset
  HRESULT STDMETHODCALLTYPE OpenRowset(IUnknown* pUnkOuter, DBID* pTableID, DBID* pIndexID, REFIID riid,
                                       ULONG cPropertySets, DBPROPSET rgPropertySets[], IUnknown** ppRowset) override;
  // ISessionProperties
  HRESULT STDMETHODCALLTYPE GetProperties(ULONG cPropertyIDSets, const DBPROPIDSET rgPropertyIDSets[],
                                          ULONG* pcPropertySets, DBPROPSET** prgPropertySets) override;
  HRESULT STDMETHODCALLTYPE SetProperties(ULONG cPropertySets, DBPROPSET rgPropertySets[]) override;
  // IDBCreateCommand
  HRESULT STDMETHODCALLTYPE CreateCommand(IUnknown* pUnkOuter, REFIID riid, IUnknown** ppCommand) override;
  // IDBSchemaRowset
  HRESULT STDMETHODCALLTYPE GetRowset(IUnknown* pUnkOuter, REFGUID rguidSchema, ULONG cRestrictions,
                                      const VARIANT rgRestrictions[], REFIID riid, ULONG cPropertySets,
                                      DBPROPSET rgPropertySets[], IUnknown** ppRowset) override;
  HRESULT STDMETHODCALLTYPE GetSchemas(ULONG* pcSchemas, GUID** prgSchemas, ULONG** prgRestrictionSupport) override;
  // ISupportErrorInfo
  HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID riid) override;

 protected:
  // The session holds a reference to its data source for its whole life.
  CSessionBase(IUnknown* dataSource, std::span<const PropertyDef> sessionProperties, REFCLSID provider,
               std::u16string errorSource);

  // Opens the table of this name (never empty) as a rowset with these
  // properties; riid GUID_NULL only checks that it exists.
  virtual HRESULT OpenTable(const std::u16string& name, REFIID riid, ULONG cPropertySets,
                            DBPROPSET rgPropertySets[], IUnknown** ppRowset) = 0;
  virtual HRESULT NewCommand(REFIID riid, IUnknown** ppCommand) = 0;
  virtual HRESULT SchemaRowset(REFGUID schema, ULONG cRestrictions, const VARIANT rgRestrictions[], REFIID riid,
                               IUnknown** ppRowset) = 0;
  virtual HRESULT SupportedSchemas(ULONG* pcSchemas, GUID** prgSchemas, ULONG** prgRestrictionSupport) = 0;

  // Posts one error record for a failure of a method of `iid`; returns hr.
  HRESULT Fail(HRESULT hr, REFIID iid, std::string_view text) const;
  // What a rowset opened by this session names as its creator.
  IUnknown* Creator() { return static_cast<IOpenRowset*>(this); }

 private:
  ComPtr<IUnknown> m_dataSource;
  const CLSID m_provider;
  const std::u16string m_errorSource;
  std::mutex m_mutex;  // guards the properties
  CPropertyStore m_properties;
};
