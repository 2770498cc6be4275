// One ODBC handle, freed with its owner.
#pragma once

#include <utility>

#include "OdbcApi.h"

class COdbcHandle {
 public:
  COdbcHandle() = default;
  COdbcHandle(SQLSMALLINT type, SQLHANDLE handle) : m_type(type), m_handle(handle) {}
  ~COdbcHandle() { Reset(); }
  COdbcHandle(COdbcHandle&& other) noexcept
      : m_type(other.m_type), m_handle(std::exchange(other.m_handle, SQLHANDLE{})) {}
  COdbcHandle& operator=(COdbcHandle&& other) noexcept {
    if (this != &other) {
      Reset();
      m_type = other.m_type;
      m_handle = std::exchange(other.m_handle, SQLHANDLE{});
    }
    return *this;
  }
  COdbcHandle(const COdbcHandle&) = delete;
  COdbcHandle& operator=(const COdbcHandle&) = delete;

  // Allocates a handle of `type` under `parent`; false when the driver
  // manager refuses (its diagnostics then sit on the parent).
  bool Allocate(SQLSMALLINT type, SQLHANDLE parent);
  void Reset();

  SQLHANDLE Get() const { return m_handle; }
  SQLSMALLINT Type() const { return m_type; }
  explicit operator bool() const { return m_handle != SQL_NULL_HANDLE; }

 private:
  SQLSMALLINT m_type = SQL_HANDLE_ENV;
  SQLHANDLE m_handle = nullptr;
};
