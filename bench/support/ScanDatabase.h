// The table the provider benchmarks read: a million rows of five columns
// unless told otherwise, built once per run in the temporary folder and removed when the process
// ends.
#pragma once

#include <string>
#include <string_view>

inline constexpr int kScanRows = 1000000;
inline constexpr int kScanColumns = 5;
inline constexpr const char* kScanQuery = "SELECT id, symbol, quantity, price, note FROM scan";

class ScanDatabase {
 public:
  // The file is named after the prefix and this process, so runs side by
  // side never share one.
  explicit ScanDatabase(std::string_view prefix, int rows = kScanRows);
  ~ScanDatabase();
  ScanDatabase(const ScanDatabase&) = delete;
  ScanDatabase& operator=(const ScanDatabase&) = delete;

  const std::string& Path() const { return m_path; }

 private:
  std::string m_path;
};
