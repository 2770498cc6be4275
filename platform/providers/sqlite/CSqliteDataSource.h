// The data source object: initialization properties, opening the file,
// literal information and sessions.
#pragma once

#include <memory>

#include "DataSourceBase.h"
#include "SqliteConnection.h"
#include "SqliteProvider.h"
#include "oledb.h"

class CSqliteDataSource : public CDataSourceBase {
 public:
  CSqliteDataSource();

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
  void PublishInfo();
  std::shared_ptr<CSqliteConnection> Connection() const;

  std::shared_ptr<CSqliteConnection> m_connection;  // guarded by m_mutex
};
