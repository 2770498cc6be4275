#include "ProviderConformance.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <memory>
#include <set>

#include "SchemaLayouts.h"
#include "objbase.h"
#include "oleauto.h"
#include "stringapiset.h"


namespace {

std::string ScalarText(IUnknown* session, const std::string& sql) {
  auto result = Execute(session, sql);
  if (!result.rowset) return "<no rowset>";
  auto rows = ReadAll(result.rowset);
  return rows.empty() || !rows[0][0] ? "<null>" : *rows[0][0];
}

}  // namespace

std::vector<ExpectedSchema> StandardSchemaExpectations(const std::vector<const GUID*>& without) {
  std::vector<ExpectedSchema> schemas;
  for (const SchemaLayout& layout : StandardSchemaLayouts()) {
    if (std::any_of(without.begin(), without.end(), [&](const GUID* g) { return *g == *layout.schema; })) continue;
    ExpectedSchema expected{layout.schema, {}};
    for (const ColumnDesc& column : layout.columns) expected.leadingColumns.push_back(OleToAnsi(column.name));
    schemas.push_back(std::move(expected));
  }
  return schemas;
}

std::string PrintProfileName(const testing::TestParamInfo<ProviderProfile>& info) {
  return info.param.name;
}

void ProviderConformance::SetUp() {
  m_dataSource = OpenDataSource(Profile().clsid, Profile().sampleDataSource());
  ASSERT_TRUE(m_dataSource) << "the sample data source did not open";
  m_session = CreateSession(m_dataSource);
  ASSERT_TRUE(m_session);
}

TEST_P(ProviderConformance, NamingLiteralsAreReportedInOneBuffer) {
  auto info = m_dataSource.As<IDBInfo>();
  ASSERT_TRUE(info);
  std::vector<DBLITERAL> asked;
  for (const auto& l : Profile().literals) asked.push_back(l.literal);
  ULONG count = 0;
  DBLITERALINFO* literals = nullptr;
  OLECHAR* buffer = nullptr;
  HRESULT hr = info->GetLiteralInfo(static_cast<ULONG>(asked.size()), asked.data(), &count, &literals, &buffer);
  ASSERT_TRUE(SUCCEEDED(hr));
  ASSERT_EQ(count, asked.size());
  for (size_t i = 0; i < asked.size(); ++i) {
    const auto& expected = Profile().literals[i];
    EXPECT_EQ(literals[i].lt, expected.literal);
    EXPECT_EQ(literals[i].fSupported != FALSE, expected.supported) << "literal " << expected.literal;
    if (expected.value) {
      ASSERT_TRUE(literals[i].pwszLiteralValue);
      EXPECT_EQ(OleToAnsi(literals[i].pwszLiteralValue), expected.value);
      // Values live in the one character buffer.
      EXPECT_GE(literals[i].pwszLiteralValue, buffer);
    }
  }
  bool anyUnsupported = std::any_of(Profile().literals.begin(), Profile().literals.end(),
                                    [](auto& l) { return !l.supported; });
  EXPECT_EQ(hr, anyUnsupported ? DB_S_ERRORSOCCURRED : S_OK);
  CoTaskMemFree(literals);
  CoTaskMemFree(buffer);
}

TEST_P(ProviderConformance, CatalogLocationIsReported) {
  auto properties = m_dataSource.As<IDBProperties>();
  DBPROPID id = DBPROP_CATALOGLOCATION;
  DBPROPIDSET set{&id, 1, DBPROPSET_DATASOURCEINFO};
  ULONG count = 0;
  DBPROPSET* sets = nullptr;
  ASSERT_EQ(properties->GetProperties(1, &set, &count, &sets), S_OK);
  ASSERT_EQ(count, 1u);
  EXPECT_EQ(sets[0].rgProperties[0].vValue.vt, VT_I4);
  CoTaskMemFree(sets[0].rgProperties);
  CoTaskMemFree(sets);
}

TEST_P(ProviderConformance, SchemasAreListedAndOpenWithTheirStandardColumns) {
  auto schemas = m_session.As<IDBSchemaRowset>();
  ULONG count = 0;
  GUID* guids = nullptr;
  ULONG* support = nullptr;
  ASSERT_EQ(schemas->GetSchemas(&count, &guids, &support), S_OK);
  std::vector<GUID> listed(guids, guids + count);
  CoTaskMemFree(guids);
  CoTaskMemFree(support);
  for (const auto& expected : Profile().schemas) {
    EXPECT_NE(std::find(listed.begin(), listed.end(), *expected.schema), listed.end());
    HRESULT hr = E_FAIL;
    auto rowset = SchemaRowset(m_session, *expected.schema, {}, &hr);
    ASSERT_EQ(hr, S_OK);
    auto names = ColumnNames(rowset);
    ASSERT_GE(names.size(), expected.leadingColumns.size());
    names.resize(expected.leadingColumns.size());
    EXPECT_EQ(names, expected.leadingColumns);
  }
}

TEST_P(ProviderConformance, TablesOfTypeTableAreTheSampleTables) {
  auto rowset = SchemaRowset(m_session, DBSCHEMA_TABLES, {std::nullopt, std::nullopt, std::nullopt, "TABLE"});
  ASSERT_TRUE(rowset);
  std::multiset<std::string> names;
  for (const auto& row : ReadAll(rowset)) {
    ASSERT_TRUE(row[2]);
    EXPECT_EQ(row[3].value_or(""), "TABLE");
    names.insert(*row[2]);
  }
  EXPECT_EQ(names, std::multiset<std::string>(Profile().tables.begin(), Profile().tables.end()));
}

TEST_P(ProviderConformance, RestrictionErrorsAreReported) {
  HRESULT hr = S_OK;
  SchemaRowset(m_session, DBSCHEMA_TABLES, {std::nullopt, std::nullopt, std::nullopt, std::nullopt, "x"}, &hr);
  EXPECT_EQ(hr, E_INVALIDARG);
  auto rowset = SchemaRowset(m_session, DBSCHEMA_TABLES, {std::nullopt, std::nullopt, "No Such Table"}, &hr);
  ASSERT_EQ(hr, S_OK);
  EXPECT_TRUE(ReadAll(rowset).empty());
}

TEST_P(ProviderConformance, CommandReturnsEveryRowOfTheQualifiedTable) {
  auto result = Execute(m_session, "select * from " + Profile().qualifiedTable,
                        {{DBPROP_ISupportErrorInfo, 1}, {DBPROP_IRowsetLocate, 1}});
  ASSERT_EQ(result.hr, S_OK);
  ASSERT_TRUE(result.rowset);
  EXPECT_FALSE(ReadAll(result.rowset).empty());
}

TEST_P(ProviderConformance, BadCommandLeavesOneErrorRecord) {
  auto result = Execute(m_session, Profile().badSql);
  EXPECT_TRUE(FAILED(result.hr));
  EXPECT_FALSE(result.rowset);
  EXPECT_EQ(TakeErrorDescriptions().size(), 1u);
}

TEST_P(ProviderConformance, MissingTableIsNoTable) {
  auto open = m_session.As<IOpenRowset>();
  DBID id{};
  id.eKind = DBKIND_NAME;
  std::u16string name = u"No Such Table";
  id.uName.pwszName = name.data();
  ComPtr<IRowset> rowset;
  EXPECT_EQ(open->OpenRowset(nullptr, &id, nullptr, IID_IRowset, 0, nullptr,
                             reinterpret_cast<IUnknown**>(&rowset)),
            DB_E_NOTABLE);
  EXPECT_EQ(TakeErrorDescriptions().size(), 1u);
}

TEST_P(ProviderConformance, CreatorIsTheCommandOrTheSession) {
  ComPtr<ICommandText> command;
  auto result = Execute(m_session, "select * from " + Profile().qualifiedTable, {}, std::addressof(command));
  ASSERT_TRUE(result.rowset);
  ComPtr<ICommandText> creator;
  ASSERT_EQ(result.rowset.As<IRowsetInfo>()->GetSpecification(IID_ICommandText,
                                                              reinterpret_cast<IUnknown**>(&creator)),
            S_OK);
  EXPECT_EQ(creator.As<IUnknown>().Get(), command.As<IUnknown>().Get());

  auto open = m_session.As<IOpenRowset>();
  DBID id{};
  id.eKind = DBKIND_NAME;
  std::u16string name = AnsiToOle(Profile().tables.front());
  id.uName.pwszName = name.data();
  ComPtr<IRowsetInfo> byName;
  ASSERT_EQ(open->OpenRowset(nullptr, &id, nullptr, IID_IRowsetInfo, 0, nullptr,
                             reinterpret_cast<IUnknown**>(&byName)),
            S_OK);
  ComPtr<IUnknown> session;
  EXPECT_EQ(byName->GetSpecification(IID_ICommandText, &session), E_NOINTERFACE);
  EXPECT_EQ(byName->GetSpecification(IID_IDBCreateCommand, &session), S_OK);
}

TEST_P(ProviderConformance, RequiredChangeOnAJoinIsRefused) {
  ComPtr<ICommandText> command;
  auto result = Execute(m_session, Profile().joinSql,
                        {{DBPROP_IRowsetChange, 1},
                         {DBPROP_UPDATABILITY, DBPROPVAL_UP_CHANGE | DBPROPVAL_UP_DELETE | DBPROPVAL_UP_INSERT, false},
                         {DBPROP_ISupportErrorInfo, 1},
                         {DBPROP_IRowsetLocate, 1}},
                        std::addressof(command));
  EXPECT_EQ(result.hr, DB_E_ERRORSOCCURRED);
  EXPECT_FALSE(result.rowset);
  EXPECT_FALSE(TakeErrorDescriptions().empty());
  // The properties in error say which requirement failed.
  ASSERT_TRUE(command);
  DBPROPIDSET inError{nullptr, 0, DBPROPSET_PROPERTIESINERROR};
  ULONG count = 0;
  DBPROPSET* sets = nullptr;
  ASSERT_EQ(command.As<ICommandProperties>()->GetProperties(1, &inError, &count, &sets), S_OK);
  ASSERT_EQ(count, 1u);
  bool changeReported = false;
  for (ULONG i = 0; i < sets[0].cProperties; ++i) {
    const DBPROP& p = sets[0].rgProperties[i];
    EXPECT_TRUE(p.dwStatus == DBPROPSTATUS_NOTSETTABLE || p.dwStatus == DBPROPSTATUS_CONFLICTING);
    changeReported |= p.dwPropertyID == DBPROP_IRowsetChange;
  }
  EXPECT_TRUE(changeReported);
  CoTaskMemFree(sets[0].rgProperties);
  CoTaskMemFree(sets);
}

TEST_P(ProviderConformance, PropertyInfoBeforeInitializationIsOnlyInitialization) {
  auto fresh = CreateDataSource(Profile().clsid, Profile().sampleDataSource());
  ASSERT_TRUE(fresh);
  ULONG count = 0;
  DBPROPINFOSET* sets = nullptr;
  OLECHAR* descriptions = nullptr;
  ASSERT_TRUE(SUCCEEDED(fresh.As<IDBProperties>()->GetPropertyInfo(0, nullptr, &count, &sets, &descriptions)));
  ASSERT_EQ(count, 1u);
  EXPECT_EQ(sets[0].guidPropertySet, DBPROPSET_DBINIT);
  for (ULONG i = 0; i < count; ++i) {
    for (ULONG p = 0; p < sets[i].cPropertyInfos; ++p) VariantClear(&sets[i].rgPropertyInfos[p].vValues);
    CoTaskMemFree(sets[i].rgPropertyInfos);
  }
  CoTaskMemFree(sets);
  CoTaskMemFree(descriptions);

  ASSERT_EQ(m_dataSource.As<IDBProperties>()->GetPropertyInfo(0, nullptr, &count, &sets, &descriptions), S_OK);
  std::set<std::string> names;
  for (ULONG i = 0; i < count; ++i) {
    char text[40];
    OLECHAR wide[40];
    StringFromGUID2(sets[i].guidPropertySet, wide, 40);
    snprintf(text, sizeof text, "%s", OleToAnsi(wide).c_str());
    names.insert(text);
    for (ULONG p = 0; p < sets[i].cPropertyInfos; ++p) {
      EXPECT_TRUE(sets[i].rgPropertyInfos[p].pwszDescription);
      VariantClear(&sets[i].rgPropertyInfos[p].vValues);
    }
    CoTaskMemFree(sets[i].rgPropertyInfos);
  }
  CoTaskMemFree(sets);
  CoTaskMemFree(descriptions);
  EXPECT_GE(names.size(), 5u);  // DBINIT, DATASOURCEINFO, DATASOURCE, SESSION, ROWSET
}

TEST_P(ProviderConformance, ChangesAreWrittenAtOnceAndSeenByANewConnection) {
  auto copy = Profile().writableCopy();
  auto open = [&] {
    return Profile().openWritable ? Profile().openWritable(copy->Path()) : OpenDataSource(Profile().clsid, copy->Path());
  };
  {
    auto init = open();
    auto session = CreateSession(init);
    // The table data view asks only for bookmarks, yet may edit.
    auto result = Execute(session, Profile().editQuery, {{DBPROP_IRowsetLocate, 1}});
    ASSERT_EQ(result.hr, S_OK);
    auto change = result.rowset.As<IRowsetChange>();
    ASSERT_TRUE(change);

    struct Buffer {
      char* text;
      DBSTATUS status;
      DBLENGTH length;
    };
    DBBINDING b{};
    b.iOrdinal = Profile().editOrdinal;
    b.obValue = offsetof(Buffer, text);
    b.obStatus = offsetof(Buffer, status);
    b.obLength = offsetof(Buffer, length);
    b.dwPart = DBPART_VALUE | DBPART_STATUS | DBPART_LENGTH;
    b.cbMaxLen = sizeof(char*);
    b.wType = DBTYPE_STR | DBTYPE_BYREF;
    HACCESSOR accessor = 0;
    DBBINDSTATUS bindStatus;
    ASSERT_EQ(result.rowset.As<IAccessor>()->CreateAccessor(DBACCESSOR_ROWDATA, 1, &b, sizeof(Buffer),
                                                           &accessor, &bindStatus), S_OK);
    HROW rows[1];
    HROW* p = rows;
    DBCOUNTITEM obtained = 0;
    ASSERT_EQ(result.rowset->GetNextRows(DB_NULL_HCHAPTER, 0, 1, &obtained, &p), S_OK);
    char edited[] = "edited title";
    Buffer in{edited, DBSTATUS_S_OK, static_cast<DBLENGTH>(strlen(edited))};
    ASSERT_EQ(change->SetData(rows[0], accessor, &in), S_OK);
    Buffer out{};
    ASSERT_EQ(result.rowset->GetData(rows[0], accessor, &out), S_OK);
    EXPECT_STREQ(out.text, "edited title");
    CoTaskMemFree(out.text);

    char added[] = "inserted title";
    Buffer insert{added, DBSTATUS_S_OK, static_cast<DBLENGTH>(strlen(added))};
    HROW inserted = 0;
    ASSERT_EQ(change->InsertRow(DB_NULL_HCHAPTER, accessor, &insert, &inserted), S_OK);
    DBROWSTATUS status = 0;
    ASSERT_EQ(change->DeleteRows(DB_NULL_HCHAPTER, 1, &inserted, &status), S_OK);
    EXPECT_EQ(result.rowset->GetData(inserted, accessor, &out), DB_E_DELETEDROW);
    HROW again = 0;
    ASSERT_EQ(change->InsertRow(DB_NULL_HCHAPTER, accessor, &insert, &again), S_OK);
    ASSERT_EQ(result.rowset->GetData(again, accessor, &out), S_OK);
    EXPECT_STREQ(out.text, "inserted title");
    CoTaskMemFree(out.text);

    result.rowset->ReleaseRows(1, rows, nullptr, nullptr, nullptr);
    HROW both[2] = {inserted, again};
    result.rowset->ReleaseRows(2, both, nullptr, nullptr, nullptr);
    result.rowset.As<IAccessor>()->ReleaseAccessor(accessor, nullptr);
  }
  auto init = open();
  auto session = CreateSession(init);
  EXPECT_EQ(ScalarText(session, Profile().firstEditedValueQuery), "edited title");
  EXPECT_EQ(ScalarText(session, Profile().countOfValueQuery + " 'inserted title'"), "1");
  EXPECT_EQ(ScalarText(session, Profile().rowCountQuery), std::to_string(Profile().editRowCount + 1));
}

TEST_P(ProviderConformance, RowsetFailuresLeaveOneRecordNamingTheInterface) {
  auto result = Execute(m_session, "select * from " + Profile().qualifiedTable, {{DBPROP_IRowsetLocate, 1}});
  ASSERT_EQ(result.hr, S_OK);
  for (const IID* iid : {&IID_IRowset, &IID_IRowsetLocate, &IID_IAccessor, &IID_IRowsetInfo, &IID_IColumnsRowset,
                         &IID_IConvertType})
    EXPECT_EQ(result.rowset.As<ISupportErrorInfo>()->InterfaceSupportsErrorInfo(*iid), S_OK);

  DBBINDING b{};
  b.iOrdinal = 999;
  b.dwPart = DBPART_VALUE;
  b.wType = DBTYPE_I4;
  b.cbMaxLen = sizeof(LONG);
  HACCESSOR accessor = 0;
  DBBINDSTATUS status = DBBINDSTATUS_OK;
  EXPECT_EQ(result.rowset.As<IAccessor>()->CreateAccessor(DBACCESSOR_ROWDATA, 1, &b, sizeof(LONG), &accessor,
                                                         &status),
            DB_E_ERRORSOCCURRED);
  EXPECT_EQ(status, DBBINDSTATUS_BADORDINAL);
  EXPECT_TRUE(TookOneRecord(DB_E_ERRORSOCCURRED, IID_IAccessor, Profile().clsid)) << "a binding past the columns";
  EXPECT_EQ(result.rowset.As<IAccessor>()->ReleaseAccessor(12345, nullptr), DB_E_BADACCESSORHANDLE);
  EXPECT_TRUE(TookOneRecord(DB_E_BADACCESSORHANDLE, IID_IAccessor, Profile().clsid)) << "an unknown accessor";

  auto info = result.rowset.As<IRowsetInfo>();
  ComPtr<IRowsetLocate> self;
  // The bookmark column refers to this rowset's own rows.
  ASSERT_EQ(info->GetReferencedRowset(0, IID_IRowsetLocate, reinterpret_cast<IUnknown**>(&self)), S_OK);
  EXPECT_EQ(self.As<IUnknown>().Get(), result.rowset.As<IUnknown>().Get());
  ComPtr<IUnknown> none;
  EXPECT_EQ(info->GetReferencedRowset(1, IID_IRowset, &none), DB_E_NOTAREFERENCECOLUMN);
  EXPECT_TRUE(TookOneRecord(DB_E_NOTAREFERENCECOLUMN, IID_IRowsetInfo, Profile().clsid)) << "a plain column";
  EXPECT_EQ(info->GetReferencedRowset(5000, IID_IRowset, &none), DB_E_BADORDINAL);
  EXPECT_TRUE(TookOneRecord(DB_E_BADORDINAL, IID_IRowsetInfo, Profile().clsid)) << "an ordinal past the columns";

  EXPECT_EQ(result.rowset.As<IColumnsRowset>()->GetColumnsRowset(m_session, 0, nullptr, IID_IUnknown, 0, nullptr,
                                                                 &none),
            DB_E_NOAGGREGATION);
  EXPECT_TRUE(TookOneRecord(DB_E_NOAGGREGATION, IID_IColumnsRowset, Profile().clsid)) << "an aggregated columns rowset";
  EXPECT_EQ(result.rowset.As<IConvertType>()->CanConvert(DBTYPE_I4, DBTYPE_STR, DBCONVERTFLAGS_PARAMETER),
            DB_E_BADCONVERTFLAG);
  EXPECT_TRUE(TookOneRecord(DB_E_BADCONVERTFLAG, IID_IConvertType, Profile().clsid)) << "a parameter conversion on a rowset";
}

TEST_P(ProviderConformance, CommandFailuresLeaveOneRecordNamingTheInterface) {
  ComPtr<ICommandText> command;
  ASSERT_EQ(m_session.As<IDBCreateCommand>()->CreateCommand(nullptr, IID_ICommandText,
                                                            reinterpret_cast<IUnknown**>(&command)),
            S_OK);
  for (const IID* iid : {&IID_ICommand, &IID_ICommandText, &IID_ICommandProperties, &IID_IConvertType})
    EXPECT_EQ(command.As<ISupportErrorInfo>()->InterfaceSupportsErrorInfo(*iid), S_OK);
  GUID dialect = DBGUID_DBSQL;
  LPOLESTR text = nullptr;
  EXPECT_EQ(command->GetCommandText(&dialect, &text), DB_E_NOCOMMAND);
  EXPECT_EQ(dialect, GUID_NULL);
  EXPECT_TRUE(TookOneRecord(DB_E_NOCOMMAND, IID_ICommandText, Profile().clsid)) << "no text to get";
  ComPtr<IUnknown> rowset;
  EXPECT_EQ(command->Execute(nullptr, IID_IRowset, nullptr, nullptr, &rowset), DB_E_NOCOMMAND);
  EXPECT_TRUE(TookOneRecord(DB_E_NOCOMMAND, IID_ICommand, Profile().clsid)) << "no text to run";
  constexpr GUID kOtherDialect = {0x1a2b3c4d, 0x1111, 0x2222, {3, 3, 3, 3, 3, 3, 3, 3}};
  EXPECT_EQ(command->SetCommandText(kOtherDialect, u"select 1"), DB_E_DIALECTNOTSUPPORTED);
  EXPECT_TRUE(TookOneRecord(DB_E_DIALECTNOTSUPPORTED, IID_ICommandText, Profile().clsid)) << "another dialect";

  // GUID_NULL asks for the default dialect.
  std::u16string sql = AnsiToOle("select * from " + Profile().qualifiedTable);
  ASSERT_EQ(command->SetCommandText(GUID_NULL, sql.c_str()), S_OK);
  dialect = kOtherDialect;
  ASSERT_EQ(command->GetCommandText(&dialect, &text), DB_S_DIALECTIGNORED);
  EXPECT_EQ(dialect, DBGUID_DBSQL);
  EXPECT_EQ(std::u16string(text), sql);
  CoTaskMemFree(text);

  EXPECT_EQ(command->Execute(m_session, IID_IUnknown, nullptr, nullptr, &rowset), DB_E_NOAGGREGATION);
  EXPECT_TRUE(TookOneRecord(DB_E_NOAGGREGATION, IID_ICommand, Profile().clsid)) << "an aggregated rowset";
  EXPECT_EQ(command->Execute(nullptr, IID_IRowset, nullptr, nullptr, nullptr), E_INVALIDARG);
  EXPECT_TRUE(TookOneRecord(E_INVALIDARG, IID_ICommand, Profile().clsid)) << "nowhere to put the rowset";
  auto convert = command.As<IConvertType>();
  EXPECT_EQ(convert->CanConvert(DBTYPE_I4, DBTYPE_STR, DBCONVERTFLAGS_PARAMETER), S_OK);
  EXPECT_EQ(convert->CanConvert(DBTYPE_I4, DBTYPE_STR, 0x400), DB_E_BADCONVERTFLAG);
  EXPECT_TRUE(TookOneRecord(DB_E_BADCONVERTFLAG, IID_IConvertType, Profile().clsid)) << "unknown conversion flags";

  ComPtr<IUnknown> session;
  ASSERT_EQ(command->GetDBSession(IID_IUnknown, &session), S_OK);
  EXPECT_EQ(session.Get(), m_session.As<IUnknown>().Get());
}

TEST_P(ProviderConformance, SessionFailuresLeaveOneRecordNamingTheInterface) {
  for (const IID* iid : {&IID_IGetDataSource, &IID_IOpenRowset, &IID_ISessionProperties, &IID_IDBCreateCommand,
                         &IID_IDBSchemaRowset})
    EXPECT_EQ(m_session.As<ISupportErrorInfo>()->InterfaceSupportsErrorInfo(*iid), S_OK);
  auto open = m_session.As<IOpenRowset>();
  ComPtr<IUnknown> rowset;
  EXPECT_EQ(open->OpenRowset(nullptr, nullptr, nullptr, IID_IRowset, 0, nullptr, &rowset), E_INVALIDARG);
  EXPECT_TRUE(TookOneRecord(E_INVALIDARG, IID_IOpenRowset, Profile().clsid)) << "nothing named";
  DBID index{};
  index.eKind = DBKIND_NAME;
  std::u16string indexName = u"some_index";
  index.uName.pwszName = indexName.data();
  EXPECT_EQ(open->OpenRowset(nullptr, nullptr, &index, IID_IRowset, 0, nullptr, &rowset), DB_E_NOINDEX);
  EXPECT_TRUE(TookOneRecord(DB_E_NOINDEX, IID_IOpenRowset, Profile().clsid)) << "an index";
  DBID byGuid{};
  byGuid.eKind = DBKIND_GUID;
  EXPECT_EQ(open->OpenRowset(nullptr, &byGuid, nullptr, IID_IRowset, 0, nullptr, &rowset), DB_E_NOTABLE);
  EXPECT_TRUE(TookOneRecord(DB_E_NOTABLE, IID_IOpenRowset, Profile().clsid)) << "a table named by GUID";

  ComPtr<IUnknown> command;
  EXPECT_EQ(m_session.As<IDBCreateCommand>()->CreateCommand(m_session, IID_IUnknown, &command), DB_E_NOAGGREGATION);
  EXPECT_TRUE(TookOneRecord(DB_E_NOAGGREGATION, IID_IDBCreateCommand, Profile().clsid)) << "an aggregated command";
  EXPECT_EQ(m_session.As<IDBSchemaRowset>()->GetRowset(nullptr, DBSCHEMA_TABLES, 2, nullptr, IID_IRowset, 0,
                                                       nullptr, &rowset),
            E_INVALIDARG);
  EXPECT_TRUE(TookOneRecord(E_INVALIDARG, IID_IDBSchemaRowset, Profile().clsid)) << "restrictions not given";

  ComPtr<IDBInitialize> dataSource;
  ASSERT_EQ(m_session.As<IGetDataSource>()->GetDataSource(IID_IDBInitialize,
                                                          reinterpret_cast<IUnknown**>(&dataSource)),
            S_OK);
  EXPECT_EQ(dataSource.As<IUnknown>().Get(), m_dataSource.As<IUnknown>().Get());
}

TEST_P(ProviderConformance, DataSourceFailuresLeaveOneRecordNamingTheInterface) {
  auto fresh = CreateDataSource(Profile().clsid, Profile().sampleDataSource());
  ASSERT_TRUE(fresh);
  ULONG count = 0;
  DBLITERALINFO* literals = nullptr;
  OLECHAR* buffer = nullptr;
  EXPECT_EQ(fresh.As<IDBInfo>()->GetLiteralInfo(0, nullptr, &count, &literals, &buffer), E_UNEXPECTED);
  EXPECT_TRUE(TookOneRecord(E_UNEXPECTED, IID_IDBInfo, Profile().clsid)) << "literals before initialization";
  ComPtr<IUnknown> session;
  EXPECT_EQ(fresh.As<IDBCreateSession>()->CreateSession(nullptr, IID_IUnknown, &session), E_UNEXPECTED);
  EXPECT_TRUE(TookOneRecord(E_UNEXPECTED, IID_IDBCreateSession, Profile().clsid)) << "a session too early";

  EXPECT_EQ(m_dataSource->Initialize(), DB_E_ALREADYINITIALIZED);
  EXPECT_TRUE(TookOneRecord(DB_E_ALREADYINITIALIZED, IID_IDBInitialize, Profile().clsid)) << "initialized twice";
  EXPECT_EQ(m_dataSource->Uninitialize(), DB_E_OBJECTOPEN);  // the fixture's session is open
  EXPECT_TRUE(TookOneRecord(DB_E_OBJECTOPEN, IID_IDBInitialize, Profile().clsid)) << "sessions still open";
  EXPECT_EQ(m_dataSource.As<IDBCreateSession>()->CreateSession(m_session, IID_IUnknown, &session),
            DB_E_NOAGGREGATION);
  EXPECT_TRUE(TookOneRecord(DB_E_NOAGGREGATION, IID_IDBCreateSession, Profile().clsid)) << "an aggregated session";
  EXPECT_EQ(m_dataSource.As<IDBInfo>()->GetKeywords(nullptr), E_INVALIDARG);
  EXPECT_TRUE(TookOneRecord(E_INVALIDARG, IID_IDBInfo, Profile().clsid)) << "nowhere to put the keywords";

  // Rowset properties are described by the data source, held by rowsets.
  DBPROPID id = DBPROP_IAccessor;
  DBPROPIDSET set{&id, 1, DBPROPSET_ROWSET};
  DBPROPSET* sets = nullptr;
  EXPECT_EQ(m_dataSource.As<IDBProperties>()->GetProperties(1, &set, &count, &sets), DB_E_ERRORSOCCURRED);
  ASSERT_EQ(count, 1u);
  EXPECT_EQ(sets[0].rgProperties[0].dwStatus, DBPROPSTATUS_NOTSUPPORTED);
  CoTaskMemFree(sets[0].rgProperties);
  CoTaskMemFree(sets);
  EXPECT_TRUE(TookOneRecord(DB_E_ERRORSOCCURRED, IID_IDBProperties, Profile().clsid)) << "a rowset property";

  CLSID clsid = GUID_NULL;
  ASSERT_EQ(m_dataSource.As<IPersist>()->GetClassID(&clsid), S_OK);
  EXPECT_EQ(clsid, Profile().clsid);
}
