// A rowset that passes every call to another one; a test derives from it
// and overrides only the calls it watches or scripts.
#pragma once

#include <utility>

#include "ComObject.h"
#include "ComPtr.h"
#include "oledb.h"

class ForwardingRowset : public ComObject<IRowset, IAccessor, IColumnsInfo, IRowsetInfo> {
 public:
  explicit ForwardingRowset(ComPtr<IRowset> inner) : m_inner(std::move(inner)) {}

  HRESULT STDMETHODCALLTYPE AddRefRows(DBCOUNTITEM c, const HROW r[], DBREFCOUNT rc[], DBROWSTATUS rs[]) override {
    return m_inner->AddRefRows(c, r, rc, rs);
  }
  HRESULT STDMETHODCALLTYPE GetData(HROW row, HACCESSOR accessor, void* data) override {
    return m_inner->GetData(row, accessor, data);
  }
  HRESULT STDMETHODCALLTYPE GetNextRows(HCHAPTER chapter, DBROWOFFSET offset, DBROWCOUNT rows,
                                        DBCOUNTITEM* obtained, HROW** handles) override {
    return m_inner->GetNextRows(chapter, offset, rows, obtained, handles);
  }
  HRESULT STDMETHODCALLTYPE ReleaseRows(DBCOUNTITEM c, const HROW r[], DBROWOPTIONS o[], DBREFCOUNT rc[],
                                        DBROWSTATUS rs[]) override {
    return m_inner->ReleaseRows(c, r, o, rc, rs);
  }
  HRESULT STDMETHODCALLTYPE RestartPosition(HCHAPTER chapter) override { return m_inner->RestartPosition(chapter); }

  HRESULT STDMETHODCALLTYPE AddRefAccessor(HACCESSOR a, DBREFCOUNT* c) override { return Accessor()->AddRefAccessor(a, c); }
  HRESULT STDMETHODCALLTYPE CreateAccessor(DBACCESSORFLAGS f, DBCOUNTITEM c, const DBBINDING b[], DBLENGTH s,
                                           HACCESSOR* a, DBBINDSTATUS st[]) override {
    return Accessor()->CreateAccessor(f, c, b, s, a, st);
  }
  HRESULT STDMETHODCALLTYPE GetBindings(HACCESSOR a, DBACCESSORFLAGS* f, DBCOUNTITEM* c, DBBINDING** b) override {
    return Accessor()->GetBindings(a, f, c, b);
  }
  HRESULT STDMETHODCALLTYPE ReleaseAccessor(HACCESSOR a, DBREFCOUNT* c) override { return Accessor()->ReleaseAccessor(a, c); }

  HRESULT STDMETHODCALLTYPE GetColumnInfo(DBORDINAL* c, DBCOLUMNINFO** i, OLECHAR** s) override {
    return m_inner.As<IColumnsInfo>()->GetColumnInfo(c, i, s);
  }
  HRESULT STDMETHODCALLTYPE MapColumnIDs(DBORDINAL c, const DBID ids[], DBORDINAL o[]) override {
    return m_inner.As<IColumnsInfo>()->MapColumnIDs(c, ids, o);
  }

  HRESULT STDMETHODCALLTYPE GetProperties(const ULONG c, const DBPROPIDSET s[], ULONG* n, DBPROPSET** p) override {
    return m_inner.As<IRowsetInfo>()->GetProperties(c, s, n, p);
  }
  HRESULT STDMETHODCALLTYPE GetReferencedRowset(DBORDINAL o, REFIID riid, IUnknown** r) override {
    return m_inner.As<IRowsetInfo>()->GetReferencedRowset(o, riid, r);
  }
  HRESULT STDMETHODCALLTYPE GetSpecification(REFIID riid, IUnknown** s) override {
    return m_inner.As<IRowsetInfo>()->GetSpecification(riid, s);
  }

 protected:
  ComPtr<IAccessor> Accessor() { return m_inner.As<IAccessor>(); }
  ComPtr<IRowset> m_inner;
};
