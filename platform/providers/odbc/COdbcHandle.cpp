#include "COdbcHandle.h"

bool COdbcHandle::Allocate(SQLSMALLINT type, SQLHANDLE parent) {
  Reset();
  SQLHANDLE handle = SQL_NULL_HANDLE;
  if (!OdbcOk(SQLAllocHandle(type, parent, &handle))) return false;
  m_type = type;
  m_handle = handle;
  return true;
}

void COdbcHandle::Reset() {
  if (m_handle == SQL_NULL_HANDLE) return;
  if (m_type == SQL_HANDLE_DBC) SQLDisconnect(m_handle);
  SQLFreeHandle(m_type, m_handle);
  m_handle = SQL_NULL_HANDLE;
}
