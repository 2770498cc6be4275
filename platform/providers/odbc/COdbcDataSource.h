// The ODBC provider's data source: initialization properties, the
// connection through SQLDriverConnect, server facts and sessions.
#pragma once

#include <memory>

#include "COdbcConnection.h"
#include "DataSourceBase.h"
#include "OdbcProvider.h"
#include "oledb.h"

class COdbcDataSource : public CDataSourceBase {
 public:
  COdbcDataSource();

 protected:
  bool IsOpen() const override { return m_connection != nullptr; }
  bool NamesItsSource() const override;
  HRESULT Open() override;
  void Close() override { m_connection.reset(); }
  HRESULT Keywords(LPOLESTR* ppwszKeywords) override;
  HRESULT Literals(ULONG cLiterals, const DBLITERAL rgLiterals[], ULONG* pcLiteralInfo,
                   DBLITERALINFO** prgLiteralInfo, OLECHAR** ppCharBuffer) override;
  HRESULT NewSession(REFIID riid, IUnknown** ppDBSession) override;

 private:
  void PublishInfo(const OdbcServerInfo& info);
  std::shared_ptr<COdbcConnection> Connection() const;
  HRESULT NotInitialized(REFIID iid) const;

  std::shared_ptr<COdbcConnection> m_connection;  // guarded by m_mutex
};
