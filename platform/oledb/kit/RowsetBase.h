// What every rowset answers the same way whatever holds its rows: the
// accessors, the column information, the rowset information, the columns
// rowset, type conversion and error support. A rowset derives from
// CRowsetBase<IRowset or IRowsetLocate, more interfaces...>, supplies the
// hooks and keeps its own fetching, bookmarks, GetData and writes.
//
// One error policy: every method here that fails leaves one error record
// naming the provider and the failing method's interface; a partly
// successful call (DB_S_ERRORSOCCURRED) speaks through its statuses alone.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "AccessorTable.h"
#include "ColumnDesc.h"
#include "ComObject.h"
#include "ComPtr.h"
#include "oledb.h"

template <class RowsetItf, class... More>
class CRowsetBase : public ComObject<RowsetItf, IAccessor, IColumnsInfo, IRowsetInfo, IColumnsRowset,
                                     IConvertType, ISupportErrorInfo, More...> {
 public:
  // IAccessor
  HRESULT STDMETHODCALLTYPE AddRefAccessor(HACCESSOR hAccessor, DBREFCOUNT* pcRefCount) override;
  HRESULT STDMETHODCALLTYPE CreateAccessor(DBACCESSORFLAGS dwAccessorFlags, DBCOUNTITEM cBindings,
                                           const DBBINDING rgBindings[], DBLENGTH cbRowSize,
                                           HACCESSOR* phAccessor, DBBINDSTATUS rgStatus[]) override;
  HRESULT STDMETHODCALLTYPE GetBindings(HACCESSOR hAccessor, DBACCESSORFLAGS* pdwAccessorFlags,
                                        DBCOUNTITEM* pcBindings, DBBINDING** prgBindings) override;
  HRESULT STDMETHODCALLTYPE ReleaseAccessor(HACCESSOR hAccessor, DBREFCOUNT* pcRefCount) override;
  // IColumnsInfo
  HRESULT STDMETHODCALLTYPE GetColumnInfo(DBORDINAL* pcColumns, DBCOLUMNINFO** prgInfo,
                                          OLECHAR** ppStringsBuffer) override;
  HRESULT STDMETHODCALLTYPE MapColumnIDs(DBORDINAL cColumnIDs, const DBID rgColumnIDs[],
                                         DBORDINAL rgColumns[]) override;
  // IRowsetInfo
  HRESULT STDMETHODCALLTYPE GetProperties(const ULONG cPropertyIDSets, const DBPROPIDSET rgPropertyIDSets[],
                                          ULONG* pcPropertySets, DBPROPSET** prgPropertySets) override;
  HRESULT STDMETHODCALLTYPE GetReferencedRowset(DBORDINAL iOrdinal, REFIID riid,
                                                IUnknown** ppReferencedRowset) override;
  HRESULT STDMETHODCALLTYPE GetSpecification(REFIID riid, IUnknown** ppCreator) override;
  // IColumnsRowset
  HRESULT STDMETHODCALLTYPE GetAvailableColumns(DBORDINAL* pcOptColumns, DBID** prgOptColumns) override;
  HRESULT STDMETHODCALLTYPE GetColumnsRowset(IUnknown* pUnkOuter, DBORDINAL cOptColumns,
                                             const DBID rgOptColumns[], REFIID riid, ULONG cPropertySets,
                                             DBPROPSET rgPropertySets[], IUnknown** ppColRowset) override;
  // IConvertType
  HRESULT STDMETHODCALLTYPE CanConvert(DBTYPE wFromType, DBTYPE wToType,
                                       DBCONVERTFLAGS dwConvertFlags) override;
  // ISupportErrorInfo: every interface the rowset answers for posts records.
  HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID riid) override;

 protected:
  // creator is what GetSpecification gives (may be null); provider and
  // errorSource name the provider in error records.
  CRowsetBase(IUnknown* creator, REFCLSID provider, std::u16string errorSource);

  // The data columns, ordinal 1 on; fixed once the rowset is handed out.
  virtual const std::vector<ColumnDesc>& Columns() const = 0;
  // True when ordinal 0 is a bookmark column.
  virtual bool HasBookmarks() const = 0;
  // IRowsetInfo::GetProperties over the rowset's own property values.
  virtual HRESULT GetRowsetProperties(ULONG cPropertyIDSets, const DBPROPIDSET rgPropertyIDSets[],
                                      ULONG* pcPropertySets, DBPROPSET** prgPropertySets) = 0;
  // Called once an accessor is released, so a copy kept for GetData goes too.
  virtual void AccessorReleased(HACCESSOR) {}

  // Posts one error record for a failure of a method of `iid`; returns hr.
  HRESULT Fail(HRESULT hr, REFIID iid, std::string_view text, LONG nativeError = 0) const;
  // A failure gets its record; a success, partial or not, passes as it is.
  HRESULT Report(HRESULT hr, REFIID iid, std::string_view text) const {
    return FAILED(hr) ? Fail(hr, iid, text) : hr;
  }
  REFCLSID Provider() const { return m_provider; }
  const std::u16string& ErrorSource() const { return m_errorSource; }

  CAccessorTable m_accessors;

 private:
  ComPtr<IUnknown> m_creator;
  const CLSID m_provider;
  const std::u16string m_errorSource;
};
