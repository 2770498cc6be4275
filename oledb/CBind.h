// A few fixed columns of a known rowset read as text: each binding asks the
// provider for DBTYPE_STR into a slot of one row buffer, and every fetched
// value is copied into a text buffer the caller owns.
#pragma once

#include "oledb.h"

class CBind {
 public:
  CBind() = default;
  ~CBind();
  CBind(const CBind&) = delete;
  CBind& operator=(const CBind&) = delete;

  // Adds a binding at the end of the row. `destination` (may be null) must
  // hold maxLength bytes and outlive the object's use; its current text
  // seeds the value part. FALSE only when memory runs out.
  BOOL AddBinding(DBORDINAL ordinal, char* destination, DBLENGTH maxLength, DBPART parts);
  // Makes the accessor over every binding added so far and keeps the
  // rowset. A failure leaves the object without an accessor, so every
  // later GetData fails.
  void CreateAccessor(IUnknown* rowset);
  // Reads one row and copies each bound value to its destination; on a
  // failure the destinations are left unchanged.
  HRESULT GetData(IRowset* rowset, HROW row);
  // The copying half of GetData, after the caller's own IRowset::GetData.
  void CopyOut();

  ULONG BindingCount() const { return m_cBindings; }
  const DBBINDING* Bindings() const { return m_rgBindings; }
  DBLENGTH RowSize() const { return m_cbRowSize; }
  BYTE* RowBuffer() const { return m_pRowBuffer; }
  HACCESSOR AccessorHandle() const { return m_hAccessor; }
  bool HasAccessor() const { return m_pAccessor != nullptr; }

 private:
  void LayOutParts(DBBINDING& binding);
  void SeedFromDestination(const DBBINDING& binding, char* destination);

  DBBINDING* m_rgBindings = nullptr;
  ULONG m_cBindings = 0;
  BYTE* m_pRowBuffer = nullptr;
  DBLENGTH m_cbRowSize = 0;
  char** m_rgDestinations = nullptr;
  IAccessor* m_pAccessor = nullptr;
  IRowset* m_pRowset = nullptr;
  HACCESSOR m_hAccessor = 0;
  DBBINDSTATUS* m_rgBindStatus = nullptr;
};
