#include "BookmarkReader.h"

#include <algorithm>
#include <cstdint>

#include "RowBookmarks.h"

namespace {

constexpr DBLENGTH kValueSize = 256;
constexpr DBBYTEOFFSET kLengthOffset = kValueSize;
constexpr DBBYTEOFFSET kStatusOffset = kValueSize + sizeof(DBLENGTH);
constexpr DBLENGTH kRowSize = kStatusOffset + 8;

}  // namespace

BookmarkReader::BookmarkReader(IRowset* rowset) : m_pRowset(rowset) {
  if (!rowset || FAILED(rowset->QueryInterface(IID_IAccessor, reinterpret_cast<void**>(&m_accessor)))) return;
  DBBINDING binding{};
  binding.iOrdinal = 0;
  binding.dwPart = DBPART_VALUE | DBPART_LENGTH | DBPART_STATUS;
  binding.dwMemOwner = DBMEMOWNER_CLIENTOWNED;
  binding.eParamIO = DBPARAMIO_NOTPARAM;
  binding.wType = DBTYPE_BYTES;
  binding.cbMaxLen = kValueSize;
  binding.obLength = kLengthOffset;
  binding.obStatus = kStatusOffset;
  DBBINDSTATUS status = DBBINDSTATUS_OK;
  if (FAILED(m_accessor->CreateAccessor(DBACCESSOR_ROWDATA, 1, &binding, kRowSize, &m_handle, &status)))
    m_handle = 0;
}

BookmarkReader::~BookmarkReader() {
  if (m_handle) m_accessor->ReleaseAccessor(m_handle, nullptr);
}

std::string BookmarkReader::Read(HROW row) {
  if (!m_handle) return {};
  // Aligned for the length and status parts.
  uint64_t words[(kRowSize + 7) / 8] = {};
  auto* buffer = reinterpret_cast<BYTE*>(words);
  if (FAILED(m_pRowset->GetData(row, m_handle, buffer))) return {};
  if (*reinterpret_cast<DBSTATUS*>(buffer + kStatusOffset) != DBSTATUS_S_OK) return {};
  const DBLENGTH length = *reinterpret_cast<DBLENGTH*>(buffer + kLengthOffset);
  // A bookmark cut to the buffer would name another row: none is better.
  if (length > RowBookmarks::kMaxSize) return {};
  return std::string(reinterpret_cast<const char*>(buffer), length);
}
