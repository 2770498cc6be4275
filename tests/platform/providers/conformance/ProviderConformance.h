// Provider conformance: what every provider the application talks to must
// do, written once as a table of expectations. A provider's test binary
// instantiates ProviderConformance with its ProviderProfile.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "ProviderTestSupport.h"
#include "oledb.h"

struct ExpectedLiteral {
  DBLITERAL literal;
  bool supported;
  const char* value;  // null: no value expected (or not checked)
};

struct ExpectedSchema {
  const GUID* schema;
  std::vector<std::string> leadingColumns;  // the standard names, in order
};

struct ProviderProfile {
  std::string name;
  CLSID clsid;
  // Initialization value of DBPROP_INIT_DATASOURCE for the sample database.
  std::function<std::string()> sampleDataSource;
  // A writable copy of the sample; the returned object removes it.
  std::function<std::unique_ptr<TempFileCopy>()> writableCopy;
  // Opens that copy (initialized); unset: DBPROP_INIT_DATASOURCE is its path.
  std::function<ComPtr<IDBInitialize>(const std::string& copy)> openWritable;
  std::vector<ExpectedLiteral> literals;
  std::vector<ExpectedSchema> schemas;
  std::vector<std::string> tables;   // the sample's TABLE rows, any order
  std::string qualifiedTable;        // as the Table Analyzer builds it
  std::string badSql;                // fails with one error record
  std::string joinSql;               // a join that cannot be updatable
  // Write-back: a single-table result, a text column of it to edit in the
  // first row and to fill in an inserted row, and queries that check both.
  std::string editQuery;
  DBORDINAL editOrdinal = 0;
  std::string firstEditedValueQuery;  // the edited column of that first row
  std::string countOfValueQuery;      // completed with a quoted text literal
  std::string rowCountQuery;
  int editRowCount = 0;
};

class ProviderConformance : public testing::TestWithParam<ProviderProfile> {
 protected:
  void SetUp() override;
  const ProviderProfile& Profile() const { return GetParam(); }

  ComApartment m_apartment;
  ComPtr<IDBInitialize> m_dataSource;
  ComPtr<IUnknown> m_session;
};

// Every standard schema with all the columns of the provider kit's layouts,
// but those a provider's database does not have (`without`).
std::vector<ExpectedSchema> StandardSchemaExpectations(const std::vector<const GUID*>& without = {});

std::string PrintProfileName(const testing::TestParamInfo<ProviderProfile>& info);
