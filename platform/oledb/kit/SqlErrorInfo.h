// The custom error object of a record that carries a SQLSTATE.
#pragma once

#include <string>

#include "ComObject.h"
#include "oledb.h"

class CSqlErrorInfo : public ComObject<ISQLErrorInfo> {
 public:
  CSqlErrorInfo(std::u16string sqlState, LONG nativeError)
      : m_sqlState(std::move(sqlState)), m_nativeError(nativeError) {}

  HRESULT STDMETHODCALLTYPE GetSQLInfo(BSTR* pbstrSQLState, LONG* plNativeError) override;

 private:
  const std::u16string m_sqlState;
  const LONG m_nativeError;
};
