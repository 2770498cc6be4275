// The standard columns rowset: one row per column of a rowset, with the
// usual metadata columns, served as an in-memory rowset.
#include <algorithm>
#include <cstring>

#include "ColumnDesc.h"
#include "MemoryRowset.h"
#include "objbase.h"
#include "stringapiset.h"

namespace {

// The described column as the metadata columns see it, bookmark included.
struct Described {
  const ColumnDesc* desc;  // null for the bookmark column
  DBORDINAL ordinal;
};

using Filler = NativeValue (*)(const Described&);

struct MetaColumn {
  const DBID* id;
  const char16_t* name;
  DBTYPE type;
  DBLENGTH size;
  BYTE precision;
  bool optional;
  Filler fill;
};

constexpr BYTE kNoPrecision = 0xFF;
constexpr DBLENGTH kNoLength = ~DBLENGTH{0};

NativeValue TextOrNull(const std::u16string& s) {
  return s.empty() ? NativeValue::Null() : NativeValue::Text(OleToAnsi(s));
}

NativeValue Flag(bool b) { return NativeValue::Integer(b ? VARIANT_TRUE : VARIANT_FALSE); }

// GUIDs travel as their braced text: readable when bound as text, and
// parsed back when bound as DBTYPE_GUID.
NativeValue GuidValue(const GUID& g) {
  OLECHAR text[40];
  StringFromGUID2(g, text, 40);
  return NativeValue::Text(OleToAnsi(text));
}

// Columns known by name report no GUID or property id; fixed ids report both.
NativeValue IdName(const Described& d) {
  if (!d.desc || d.desc->columnId) return NativeValue::Null();
  return NativeValue::Text(OleToAnsi(d.desc->name));
}
NativeValue IdGuid(const Described& d) {
  if (!d.desc) return GuidValue(DBCOL_SPECIALCOL);
  return d.desc->columnId ? GuidValue(d.desc->columnId->uGuid.guid) : NativeValue::Null();
}
NativeValue IdPropid(const Described& d) {
  if (!d.desc) return NativeValue::Integer(2);
  return d.desc->columnId ? NativeValue::Integer(d.desc->columnId->uName.ulPropid) : NativeValue::Null();
}
NativeValue Name(const Described& d) { return d.desc ? NativeValue::Text(OleToAnsi(d.desc->name)) : NativeValue::Null(); }
NativeValue Number(const Described& d) { return NativeValue::Integer(d.ordinal); }
NativeValue Type(const Described& d) { return NativeValue::Integer(d.desc ? d.desc->type : DBTYPE_UI4); }
NativeValue TypeInfo(const Described&) { return NativeValue::Null(); }
NativeValue ColumnSize(const Described& d) { return NativeValue::Integer(d.desc ? d.desc->size : sizeof(ULONG)); }
NativeValue Precision(const Described& d) {
  BYTE p = d.desc ? d.desc->precision : 10;
  return p == kNoPrecision ? NativeValue::Null() : NativeValue::Integer(p);
}
NativeValue Scale(const Described& d) {
  BYTE s = d.desc ? d.desc->scale : kNoPrecision;
  return s == kNoPrecision ? NativeValue::Null() : NativeValue::Integer(s);
}
NativeValue Flags(const Described& d) {
  return NativeValue::Integer(d.desc ? d.desc->flags : DBCOLUMNFLAGS_ISBOOKMARK | DBCOLUMNFLAGS_ISFIXEDLENGTH);
}
NativeValue BaseColumn(const Described& d) { return d.desc ? TextOrNull(d.desc->baseColumn) : NativeValue::Null(); }
NativeValue BaseTable(const Described& d) { return d.desc ? TextOrNull(d.desc->baseTable) : NativeValue::Null(); }
NativeValue KeyColumn(const Described& d) { return d.desc ? Flag(d.desc->isKey) : NativeValue::Null(); }
NativeValue AutoIncrement(const Described& d) { return d.desc ? Flag(d.desc->isAutoIncrement) : NativeValue::Null(); }
NativeValue DefaultValue(const Described& d) { return d.desc ? TextOrNull(d.desc->defaultValue) : NativeValue::Null(); }

// In their standard order: the required columns, then the optional ones
// this kit can fill.
const MetaColumn kMetaColumns[] = {
    {&DBCOLUMN_IDNAME, u"DBCOLUMN_IDNAME", DBTYPE_WSTR, 128, kNoPrecision, false, IdName},
    {&DBCOLUMN_GUID, u"DBCOLUMN_GUID", DBTYPE_GUID, sizeof(GUID), kNoPrecision, false, IdGuid},
    {&DBCOLUMN_PROPID, u"DBCOLUMN_PROPID", DBTYPE_UI4, 4, 10, false, IdPropid},
    {&DBCOLUMN_NAME, u"DBCOLUMN_NAME", DBTYPE_WSTR, 128, kNoPrecision, false, Name},
    {&DBCOLUMN_NUMBER, u"DBCOLUMN_NUMBER", DBTYPE_UI4, 4, 10, false, Number},
    {&DBCOLUMN_TYPE, u"DBCOLUMN_TYPE", DBTYPE_UI2, 2, 5, false, Type},
    {&DBCOLUMN_TYPEINFO, u"DBCOLUMN_TYPEINFO", DBTYPE_IUNKNOWN, sizeof(void*), kNoPrecision, false, TypeInfo},
    {&DBCOLUMN_COLUMNSIZE, u"DBCOLUMN_COLUMNSIZE", DBTYPE_UI4, 4, 10, false, ColumnSize},
    {&DBCOLUMN_PRECISION, u"DBCOLUMN_PRECISION", DBTYPE_UI2, 2, 5, false, Precision},
    {&DBCOLUMN_SCALE, u"DBCOLUMN_SCALE", DBTYPE_I2, 2, 5, false, Scale},
    {&DBCOLUMN_FLAGS, u"DBCOLUMN_FLAGS", DBTYPE_UI4, 4, 10, false, Flags},
    {&DBCOLUMN_BASECOLUMNNAME, u"DBCOLUMN_BASECOLUMNNAME", DBTYPE_WSTR, 128, kNoPrecision, true, BaseColumn},
    {&DBCOLUMN_BASETABLENAME, u"DBCOLUMN_BASETABLENAME", DBTYPE_WSTR, 128, kNoPrecision, true, BaseTable},
    {&DBCOLUMN_KEYCOLUMN, u"DBCOLUMN_KEYCOLUMN", DBTYPE_BOOL, 2, kNoPrecision, true, KeyColumn},
    {&DBCOLUMN_ISAUTOINCREMENT, u"DBCOLUMN_ISAUTOINCREMENT", DBTYPE_BOOL, 2, kNoPrecision, true, AutoIncrement},
    {&DBCOLUMN_DEFAULTVALUE, u"DBCOLUMN_DEFAULTVALUE", DBTYPE_VARIANT, sizeof(VARIANT), kNoPrecision, true,
     DefaultValue},
};

bool SameId(const DBID& a, const DBID& b) {
  if (a.uName.ulPropid != b.uName.ulPropid) return false;
  if (a.eKind == DBKIND_GUID_PROPID) return a.uGuid.guid == b.uGuid.guid;
  if (a.eKind == DBKIND_PGUID_PROPID) return a.uGuid.pguid && *a.uGuid.pguid == b.uGuid.guid;
  return false;
}

const MetaColumn* FindMeta(const DBID& id) {
  for (const MetaColumn& m : kMetaColumns)
    if (SameId(id, *m.id)) return &m;
  return nullptr;
}

ColumnDesc Describe(const MetaColumn& m) {
  ColumnDesc c;
  c.name = m.name;
  c.type = m.type;
  c.size = m.size;
  c.precision = m.precision;
  c.flags = (m.size == kNoLength ? 0 : DBCOLUMNFLAGS_ISFIXEDLENGTH) | DBCOLUMNFLAGS_ISNULLABLE |
            DBCOLUMNFLAGS_MAYBENULL;
  if (m.type == DBTYPE_WSTR) c.flags &= ~DBCOLUMNFLAGS_ISFIXEDLENGTH;
  c.columnId = m.id;
  return c;
}

// The chosen metadata columns, then one row per described column.
HRESULT Build(const std::vector<ColumnDesc>& columns, bool hasBookmark,
              const std::vector<const MetaColumn*>& chosen, IUnknown* pCreator,
              REFCLSID clsid, std::u16string source, REFIID riid, IUnknown** ppColRowset) {
  std::vector<ColumnDesc> metaColumns;
  for (const MetaColumn* m : chosen) metaColumns.push_back(Describe(*m));
  std::vector<Described> described;
  if (hasBookmark) described.push_back({nullptr, 0});
  for (size_t i = 0; i < columns.size(); ++i) described.push_back({&columns[i], static_cast<DBORDINAL>(i + 1)});
  std::vector<MemoryRow> rows;
  for (const Described& d : described) {
    MemoryRow row;
    for (const MetaColumn* m : chosen) row.push_back(m->fill(d));
    rows.push_back(std::move(row));
  }
  return CreateMemoryRowset(std::move(metaColumns), std::move(rows), pCreator, clsid,
                            std::move(source), riid, ppColRowset);
}

}  // namespace

HRESULT GetAvailableColumnsRowsetColumns(DBORDINAL* pcOptColumns, DBID** prgOptColumns) {
  if (pcOptColumns) *pcOptColumns = 0;
  if (prgOptColumns) *prgOptColumns = nullptr;
  if (!pcOptColumns || !prgOptColumns) return E_INVALIDARG;
  std::vector<DBID> ids;
  for (const MetaColumn& m : kMetaColumns)
    if (m.optional) ids.push_back(*m.id);
  auto* array = static_cast<DBID*>(CoTaskMemAlloc(ids.size() * sizeof(DBID)));
  if (!array) return E_OUTOFMEMORY;
  std::memcpy(array, ids.data(), ids.size() * sizeof(DBID));
  *pcOptColumns = static_cast<DBORDINAL>(ids.size());
  *prgOptColumns = array;
  return S_OK;
}

HRESULT CreateColumnsRowset(const std::vector<ColumnDesc>& columns, bool hasBookmark,
                            IUnknown* pCreator, REFIID riid, IUnknown** ppColRowset) {
  return CreateColumnsRowset(columns, hasBookmark, 0, nullptr, pCreator, GUID_NULL, u"", riid,
                             ppColRowset);
}

HRESULT CreateColumnsRowset(const std::vector<ColumnDesc>& columns, bool hasBookmark,
                            DBORDINAL cOptColumns, const DBID rgOptColumns[],
                            IUnknown* pCreator, REFCLSID providerClsid,
                            std::u16string errorSource, REFIID riid, IUnknown** ppColRowset) {
  if (!ppColRowset) return E_INVALIDARG;
  *ppColRowset = nullptr;
  if (cOptColumns && !rgOptColumns) return E_INVALIDARG;
  std::vector<const MetaColumn*> chosen;
  for (const MetaColumn& m : kMetaColumns)
    if (!m.optional || cOptColumns == 0) chosen.push_back(&m);
  for (DBORDINAL i = 0; i < cOptColumns; ++i) {
    const MetaColumn* m = FindMeta(rgOptColumns[i]);
    if (!m) return DB_E_BADCOLUMNID;
    if (m->optional && std::find(chosen.begin(), chosen.end(), m) == chosen.end()) chosen.push_back(m);
  }
  return Build(columns, hasBookmark, chosen, pCreator, providerClsid, std::move(errorSource), riid,
               ppColRowset);
}
