// The data-access interfaces. Methods are declared in their established
// order and with their established signatures so that vtable slots line
// up with any component built against the same definitions.
#pragma once

#include "oleauto.h"
#include "oledb_types.h"
#include "unknwn.h"

// Accessors: sets of bindings used to read and write row data.
DECLARE_INTERFACE_IID(IAccessor, IUnknown, 0x0C733A8C, 0x2A1C, 0x11CE, 0xAD, 0xE5, 0x00, 0xAA, 0x00,
                      0x44, 0x77, 0x3D)
struct IAccessor : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE AddRefAccessor(HACCESSOR hAccessor, DBREFCOUNT* pcRefCount) = 0;
  virtual HRESULT STDMETHODCALLTYPE CreateAccessor(DBACCESSORFLAGS dwAccessorFlags,
                                                   DBCOUNTITEM cBindings,
                                                   const DBBINDING rgBindings[], DBLENGTH cbRowSize,
                                                   HACCESSOR* phAccessor,
                                                   DBBINDSTATUS rgStatus[]) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetBindings(HACCESSOR hAccessor,
                                                DBACCESSORFLAGS* pdwAccessorFlags,
                                                DBCOUNTITEM* pcBindings,
                                                DBBINDING** prgBindings) = 0;
  virtual HRESULT STDMETHODCALLTYPE ReleaseAccessor(HACCESSOR hAccessor,
                                                    DBREFCOUNT* pcRefCount) = 0;
};

// Sequential fetching of rows and reading of their data.
DECLARE_INTERFACE_IID(IRowset, IUnknown, 0x0C733A7C, 0x2A1C, 0x11CE, 0xAD, 0xE5, 0x00, 0xAA, 0x00,
                      0x44, 0x77, 0x3D)
struct IRowset : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE AddRefRows(DBCOUNTITEM cRows, const HROW rghRows[],
                                               DBREFCOUNT rgRefCounts[],
                                               DBROWSTATUS rgRowStatus[]) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetData(HROW hRow, HACCESSOR hAccessor, void* pData) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetNextRows(HCHAPTER hReserved, DBROWOFFSET lRowsOffset,
                                                DBROWCOUNT cRows, DBCOUNTITEM* pcRowsObtained,
                                                HROW** prghRows) = 0;
  virtual HRESULT STDMETHODCALLTYPE ReleaseRows(DBCOUNTITEM cRows, const HROW rghRows[],
                                                DBROWOPTIONS rgRowOptions[],
                                                DBREFCOUNT rgRefCounts[],
                                                DBROWSTATUS rgRowStatus[]) = 0;
  virtual HRESULT STDMETHODCALLTYPE RestartPosition(HCHAPTER hReserved) = 0;
};

DECLARE_INTERFACE_IID(IRowsetInfo, IUnknown, 0x0C733A55, 0x2A1C, 0x11CE, 0xAD, 0xE5, 0x00, 0xAA,
                      0x00, 0x44, 0x77, 0x3D)
struct IRowsetInfo : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetProperties(const ULONG cPropertyIDSets,
                                                  const DBPROPIDSET rgPropertyIDSets[],
                                                  ULONG* pcPropertySets,
                                                  DBPROPSET** prgPropertySets) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetReferencedRowset(DBORDINAL iOrdinal, REFIID riid,
                                                        IUnknown** ppReferencedRowset) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetSpecification(REFIID riid, IUnknown** ppCreator) = 0;
};

// Fetching by bookmark.
DECLARE_INTERFACE_IID(IRowsetLocate, IRowset, 0x0C733A7D, 0x2A1C, 0x11CE, 0xAD, 0xE5, 0x00, 0xAA,
                      0x00, 0x44, 0x77, 0x3D)
struct IRowsetLocate : IRowset {
  virtual HRESULT STDMETHODCALLTYPE Compare(HCHAPTER hReserved, DBBKMARK cbBookmark1,
                                            const BYTE* pBookmark1, DBBKMARK cbBookmark2,
                                            const BYTE* pBookmark2, DBCOMPARE* pComparison) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetRowsAt(HWATCHREGION hReserved1, HCHAPTER hReserved2,
                                              DBBKMARK cbBookmark, const BYTE* pBookmark,
                                              DBROWOFFSET lRowsOffset, DBROWCOUNT cRows,
                                              DBCOUNTITEM* pcRowsObtained, HROW** prghRows) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetRowsByBookmark(HCHAPTER hReserved, DBCOUNTITEM cRows,
                                                      const DBBKMARK rgcbBookmarks[],
                                                      const BYTE* rgpBookmarks[], HROW rghRows[],
                                                      DBROWSTATUS rgRowStatus[]) = 0;
  virtual HRESULT STDMETHODCALLTYPE Hash(HCHAPTER hReserved, DBBKMARK cBookmarks,
                                         const DBBKMARK rgcbBookmarks[], const BYTE* rgpBookmarks[],
                                         DBHASHVALUE rgHashedValues[],
                                         DBROWSTATUS rgBookmarkStatus[]) = 0;
};

DECLARE_INTERFACE_IID(IRowsetScroll, IRowsetLocate, 0x0C733A7E, 0x2A1C, 0x11CE, 0xAD, 0xE5, 0x00,
                      0xAA, 0x00, 0x44, 0x77, 0x3D)
struct IRowsetScroll : IRowsetLocate {
  virtual HRESULT STDMETHODCALLTYPE GetApproximatePosition(HCHAPTER hReserved, DBBKMARK cbBookmark,
                                                           const BYTE* pBookmark,
                                                           DBCOUNTITEM* pulPosition,
                                                           DBCOUNTITEM* pcRows) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetRowsAtRatio(HWATCHREGION hReserved1, HCHAPTER hReserved2,
                                                   DBCOUNTITEM ulNumerator,
                                                   DBCOUNTITEM ulDenominator, DBROWCOUNT cRows,
                                                   DBCOUNTITEM* pcRowsObtained,
                                                   HROW** prghRows) = 0;
};

DECLARE_INTERFACE_IID(IChapteredRowset, IUnknown, 0x0C733A93, 0x2A1C, 0x11CE, 0xAD, 0xE5, 0x00,
                      0xAA, 0x00, 0x44, 0x77, 0x3D)
struct IChapteredRowset : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE AddRefChapter(HCHAPTER hChapter, DBREFCOUNT* pcRefCount) = 0;
  virtual HRESULT STDMETHODCALLTYPE ReleaseChapter(HCHAPTER hChapter, DBREFCOUNT* pcRefCount) = 0;
};

// Immediate changes to rows.
DECLARE_INTERFACE_IID(IRowsetChange, IUnknown, 0x0C733A05, 0x2A1C, 0x11CE, 0xAD, 0xE5, 0x00, 0xAA,
                      0x00, 0x44, 0x77, 0x3D)
struct IRowsetChange : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE DeleteRows(HCHAPTER hReserved, DBCOUNTITEM cRows,
                                               const HROW rghRows[], DBROWSTATUS rgRowStatus[]) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetData(HROW hRow, HACCESSOR hAccessor, void* pData) = 0;
  virtual HRESULT STDMETHODCALLTYPE InsertRow(HCHAPTER hReserved, HACCESSOR hAccessor, void* pData,
                                              HROW* phRow) = 0;
};

// Deferred changes, transmitted by Update.
DECLARE_INTERFACE_IID(IRowsetUpdate, IRowsetChange, 0x0C733A6D, 0x2A1C, 0x11CE, 0xAD, 0xE5, 0x00,
                      0xAA, 0x00, 0x44, 0x77, 0x3D)
struct IRowsetUpdate : IRowsetChange {
  virtual HRESULT STDMETHODCALLTYPE GetOriginalData(HROW hRow, HACCESSOR hAccessor,
                                                    void* pData) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetPendingRows(HCHAPTER hReserved, DBPENDINGSTATUS dwRowStatus,
                                                   DBCOUNTITEM* pcPendingRows,
                                                   HROW** prgPendingRows,
                                                   DBPENDINGSTATUS** prgPendingStatus) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetRowStatus(HCHAPTER hReserved, DBCOUNTITEM cRows,
                                                 const HROW rghRows[],
                                                 DBPENDINGSTATUS rgPendingStatus[]) = 0;
  virtual HRESULT STDMETHODCALLTYPE Undo(HCHAPTER hReserved, DBCOUNTITEM cRows,
                                         const HROW rghRows[], DBCOUNTITEM* pcRowsUndone,
                                         HROW** prgRowsUndone, DBROWSTATUS** prgRowStatus) = 0;
  virtual HRESULT STDMETHODCALLTYPE Update(HCHAPTER hReserved, DBCOUNTITEM cRows,
                                           const HROW rghRows[], DBCOUNTITEM* pcRows,
                                           HROW** prgRows, DBROWSTATUS** prgRowStatus) = 0;
};

DECLARE_INTERFACE_IID(IRowsetIdentity, IUnknown, 0x0C733A09, 0x2A1C, 0x11CE, 0xAD, 0xE5, 0x00, 0xAA,
                      0x00, 0x44, 0x77, 0x3D)
struct IRowsetIdentity : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE IsSameRow(HROW hThisRow, HROW hThatRow) = 0;
};

// Commands.
DECLARE_INTERFACE_IID(ICommand, IUnknown, 0x0C733A63, 0x2A1C, 0x11CE, 0xAD, 0xE5, 0x00, 0xAA, 0x00,
                      0x44, 0x77, 0x3D)
struct ICommand : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE Cancel() = 0;
  virtual HRESULT STDMETHODCALLTYPE Execute(IUnknown* pUnkOuter, REFIID riid, DBPARAMS* pParams,
                                            DBROWCOUNT* pcRowsAffected, IUnknown** ppRowset) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetDBSession(REFIID riid, IUnknown** ppSession) = 0;
};

DECLARE_INTERFACE_IID(IMultipleResults, IUnknown, 0x0C733A90, 0x2A1C, 0x11CE, 0xAD, 0xE5, 0x00,
                      0xAA, 0x00, 0x44, 0x77, 0x3D)
struct IMultipleResults : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetResult(IUnknown* pUnkOuter, DBRESULTFLAG lResultFlag,
                                              REFIID riid, DBROWCOUNT* pcRowsAffected,
                                              IUnknown** ppRowset) = 0;
};

DECLARE_INTERFACE_IID(IConvertType, IUnknown, 0x0C733A88, 0x2A1C, 0x11CE, 0xAD, 0xE5, 0x00, 0xAA,
                      0x00, 0x44, 0x77, 0x3D)
struct IConvertType : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE CanConvert(DBTYPE wFromType, DBTYPE wToType,
                                               DBCONVERTFLAGS dwConvertFlags) = 0;
};

DECLARE_INTERFACE_IID(ICommandPrepare, IUnknown, 0x0C733A26, 0x2A1C, 0x11CE, 0xAD, 0xE5, 0x00, 0xAA,
                      0x00, 0x44, 0x77, 0x3D)
struct ICommandPrepare : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE Prepare(ULONG cExpectedRuns) = 0;
  virtual HRESULT STDMETHODCALLTYPE Unprepare() = 0;
};

DECLARE_INTERFACE_IID(ICommandProperties, IUnknown, 0x0C733A79, 0x2A1C, 0x11CE, 0xAD, 0xE5, 0x00,
                      0xAA, 0x00, 0x44, 0x77, 0x3D)
struct ICommandProperties : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetProperties(const ULONG cPropertyIDSets,
                                                  const DBPROPIDSET rgPropertyIDSets[],
                                                  ULONG* pcPropertySets,
                                                  DBPROPSET** prgPropertySets) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetProperties(ULONG cPropertySets,
                                                  DBPROPSET rgPropertySets[]) = 0;
};

DECLARE_INTERFACE_IID(ICommandText, ICommand, 0x0C733A27, 0x2A1C, 0x11CE, 0xAD, 0xE5, 0x00, 0xAA,
                      0x00, 0x44, 0x77, 0x3D)
struct ICommandText : ICommand {
  virtual HRESULT STDMETHODCALLTYPE GetCommandText(GUID* pguidDialect, LPOLESTR* ppwszCommand) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetCommandText(REFGUID rguidDialect, LPCOLESTR pwszCommand) = 0;
};

DECLARE_INTERFACE_IID(ICommandWithParameters, IUnknown, 0x0C733A64, 0x2A1C, 0x11CE, 0xAD, 0xE5,
                      0x00, 0xAA, 0x00, 0x44, 0x77, 0x3D)
struct ICommandWithParameters : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetParameterInfo(DB_UPARAMS* pcParams,
                                                     DBPARAMINFO** prgParamInfo,
                                                     OLECHAR** ppNamesBuffer) = 0;
  virtual HRESULT STDMETHODCALLTYPE MapParameterNames(DB_UPARAMS cParamNames,
                                                      const OLECHAR* rgParamNames[],
                                                      DB_LPARAMS rgParamOrdinals[]) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetParameterInfo(DB_UPARAMS cParams,
                                                     const DB_UPARAMS rgParamOrdinals[],
                                                     const DBPARAMBINDINFO rgParamBindInfo[]) = 0;
};

// Column metadata as a rowset.
DECLARE_INTERFACE_IID(IColumnsRowset, IUnknown, 0x0C733A10, 0x2A1C, 0x11CE, 0xAD, 0xE5, 0x00, 0xAA,
                      0x00, 0x44, 0x77, 0x3D)
struct IColumnsRowset : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetAvailableColumns(DBORDINAL* pcOptColumns,
                                                        DBID** prgOptColumns) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetColumnsRowset(IUnknown* pUnkOuter, DBORDINAL cOptColumns,
                                                     const DBID rgOptColumns[], REFIID riid,
                                                     ULONG cPropertySets,
                                                     DBPROPSET rgPropertySets[],
                                                     IUnknown** ppColRowset) = 0;
};

DECLARE_INTERFACE_IID(IColumnsInfo, IUnknown, 0x0C733A11, 0x2A1C, 0x11CE, 0xAD, 0xE5, 0x00, 0xAA,
                      0x00, 0x44, 0x77, 0x3D)
struct IColumnsInfo : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetColumnInfo(DBORDINAL* pcColumns, DBCOLUMNINFO** prgInfo,
                                                  OLECHAR** ppStringsBuffer) = 0;
  virtual HRESULT STDMETHODCALLTYPE MapColumnIDs(DBORDINAL cColumnIDs, const DBID rgColumnIDs[],
                                                 DBORDINAL rgColumns[]) = 0;
};

// Session objects.
DECLARE_INTERFACE_IID(IDBCreateCommand, IUnknown, 0x0C733A1D, 0x2A1C, 0x11CE, 0xAD, 0xE5, 0x00,
                      0xAA, 0x00, 0x44, 0x77, 0x3D)
struct IDBCreateCommand : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE CreateCommand(IUnknown* pUnkOuter, REFIID riid,
                                                  IUnknown** ppCommand) = 0;
};

// Data source objects.
DECLARE_INTERFACE_IID(IDBCreateSession, IUnknown, 0x0C733A5D, 0x2A1C, 0x11CE, 0xAD, 0xE5, 0x00,
                      0xAA, 0x00, 0x44, 0x77, 0x3D)
struct IDBCreateSession : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE CreateSession(IUnknown* pUnkOuter, REFIID riid,
                                                  IUnknown** ppDBSession) = 0;
};

// Enumerators: the rowset of data sources and enumerators they know.
DECLARE_INTERFACE_IID(ISourcesRowset, IUnknown, 0x0C733A1E, 0x2A1C, 0x11CE, 0xAD, 0xE5, 0x00, 0xAA,
                      0x00, 0x44, 0x77, 0x3D)
struct ISourcesRowset : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetSourcesRowset(IUnknown* pUnkOuter, REFIID riid,
                                                     ULONG cPropertySets, DBPROPSET rgProperties[],
                                                     IUnknown** ppSourcesRowset) = 0;
};

DECLARE_INTERFACE_IID(IDBProperties, IUnknown, 0x0C733A8A, 0x2A1C, 0x11CE, 0xAD, 0xE5, 0x00, 0xAA,
                      0x00, 0x44, 0x77, 0x3D)
struct IDBProperties : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetProperties(ULONG cPropertyIDSets,
                                                  const DBPROPIDSET rgPropertyIDSets[],
                                                  ULONG* pcPropertySets,
                                                  DBPROPSET** prgPropertySets) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetPropertyInfo(ULONG cPropertyIDSets,
                                                    const DBPROPIDSET rgPropertyIDSets[],
                                                    ULONG* pcPropertyInfoSets,
                                                    DBPROPINFOSET** prgPropertyInfoSets,
                                                    OLECHAR** ppDescBuffer) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetProperties(ULONG cPropertySets,
                                                  DBPROPSET rgPropertySets[]) = 0;
};

DECLARE_INTERFACE_IID(IDBInitialize, IUnknown, 0x0C733A8B, 0x2A1C, 0x11CE, 0xAD, 0xE5, 0x00, 0xAA,
                      0x00, 0x44, 0x77, 0x3D)
struct IDBInitialize : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE Initialize() = 0;
  virtual HRESULT STDMETHODCALLTYPE Uninitialize() = 0;
};

DECLARE_INTERFACE_IID(IDBInfo, IUnknown, 0x0C733A89, 0x2A1C, 0x11CE, 0xAD, 0xE5, 0x00, 0xAA, 0x00,
                      0x44, 0x77, 0x3D)
struct IDBInfo : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetKeywords(LPOLESTR* ppwszKeywords) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetLiteralInfo(ULONG cLiterals, const DBLITERAL rgLiterals[],
                                                   ULONG* pcLiteralInfo,
                                                   DBLITERALINFO** prgLiteralInfo,
                                                   OLECHAR** ppCharBuffer) = 0;
};

DECLARE_INTERFACE_IID(IDBDataSourceAdmin, IUnknown, 0x0C733A7A, 0x2A1C, 0x11CE, 0xAD, 0xE5, 0x00,
                      0xAA, 0x00, 0x44, 0x77, 0x3D)
struct IDBDataSourceAdmin : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE CreateDataSource(ULONG cPropertySets,
                                                     DBPROPSET rgPropertySets[],
                                                     IUnknown* pUnkOuter, REFIID riid,
                                                     IUnknown** ppDBSession) = 0;
  virtual HRESULT STDMETHODCALLTYPE DestroyDataSource() = 0;
  virtual HRESULT STDMETHODCALLTYPE GetCreationProperties(ULONG cPropertyIDSets,
                                                          const DBPROPIDSET rgPropertyIDSets[],
                                                          ULONG* pcPropertyInfoSets,
                                                          DBPROPINFOSET** prgPropertyInfoSets,
                                                          OLECHAR** ppDescBuffer) = 0;
  virtual HRESULT STDMETHODCALLTYPE ModifyDataSource(ULONG cPropertySets,
                                                     DBPROPSET rgPropertySets[]) = 0;
};

DECLARE_INTERFACE_IID(ISessionProperties, IUnknown, 0x0C733A85, 0x2A1C, 0x11CE, 0xAD, 0xE5, 0x00,
                      0xAA, 0x00, 0x44, 0x77, 0x3D)
struct ISessionProperties : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetProperties(ULONG cPropertyIDSets,
                                                  const DBPROPIDSET rgPropertyIDSets[],
                                                  ULONG* pcPropertySets,
                                                  DBPROPSET** prgPropertySets) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetProperties(ULONG cPropertySets,
                                                  DBPROPSET rgPropertySets[]) = 0;
};

DECLARE_INTERFACE_IID(IOpenRowset, IUnknown, 0x0C733A69, 0x2A1C, 0x11CE, 0xAD, 0xE5, 0x00, 0xAA,
                      0x00, 0x44, 0x77, 0x3D)
struct IOpenRowset : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE OpenRowset(IUnknown* pUnkOuter, DBID* pTableID, DBID* pIndexID,
                                               REFIID riid, ULONG cPropertySets,
                                               DBPROPSET rgPropertySets[], IUnknown** ppRowset) = 0;
};

DECLARE_INTERFACE_IID(IDBSchemaRowset, IUnknown, 0x0C733A7B, 0x2A1C, 0x11CE, 0xAD, 0xE5, 0x00, 0xAA,
                      0x00, 0x44, 0x77, 0x3D)
struct IDBSchemaRowset : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetRowset(IUnknown* pUnkOuter, REFGUID rguidSchema,
                                              ULONG cRestrictions, const VARIANT rgRestrictions[],
                                              REFIID riid, ULONG cPropertySets,
                                              DBPROPSET rgPropertySets[], IUnknown** ppRowset) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetSchemas(ULONG* pcSchemas, GUID** prgSchemas,
                                               ULONG** prgRestrictionSupport) = 0;
};

DECLARE_INTERFACE_IID(IGetDataSource, IUnknown, 0x0C733A75, 0x2A1C, 0x11CE, 0xAD, 0xE5, 0x00, 0xAA,
                      0x00, 0x44, 0x77, 0x3D)
struct IGetDataSource : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetDataSource(REFIID riid, IUnknown** ppDataSource) = 0;
};

// Error objects: the records of one failure, most recent first.
DECLARE_INTERFACE_IID(IErrorRecords, IUnknown, 0x0C733A67, 0x2A1C, 0x11CE, 0xAD, 0xE5, 0x00, 0xAA,
                      0x00, 0x44, 0x77, 0x3D)
struct IErrorRecords : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE AddErrorRecord(ERRORINFO* pErrorInfo, DWORD dwLookupID,
                                                   DISPPARAMS* pdispparams,
                                                   IUnknown* punkCustomError,
                                                   DWORD dwDynamicErrorID) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetBasicErrorInfo(ULONG ulRecordNum, ERRORINFO* pErrorInfo) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetCustomErrorObject(ULONG ulRecordNum, REFIID riid,
                                                         IUnknown** ppObject) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetErrorInfo(ULONG ulRecordNum, LCID lcid,
                                                 IErrorInfo** ppErrorInfo) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetErrorParameters(ULONG ulRecordNum,
                                                       DISPPARAMS* pdispparams) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetRecordCount(ULONG* pcRecords) = 0;
};

DECLARE_INTERFACE_IID(IErrorLookup, IUnknown, 0x0C733A66, 0x2A1C, 0x11CE, 0xAD, 0xE5, 0x00, 0xAA,
                      0x00, 0x44, 0x77, 0x3D)
struct IErrorLookup : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetErrorDescription(HRESULT hrError, DWORD dwLookupID,
                                                        DISPPARAMS* pdispparams, LCID lcid,
                                                        BSTR* pbstrSource,
                                                        BSTR* pbstrDescription) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetHelpInfo(HRESULT hrError, DWORD dwLookupID, LCID lcid,
                                                BSTR* pbstrHelpFile, DWORD* pdwHelpContext) = 0;
  virtual HRESULT STDMETHODCALLTYPE ReleaseErrors(const DWORD dwDynamicErrorID) = 0;
};

DECLARE_INTERFACE_IID(ISQLErrorInfo, IUnknown, 0x0C733A74, 0x2A1C, 0x11CE, 0xAD, 0xE5, 0x00, 0xAA,
                      0x00, 0x44, 0x77, 0x3D)
struct ISQLErrorInfo : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetSQLInfo(BSTR* pbstrSQLState, LONG* plNativeError) = 0;
};
