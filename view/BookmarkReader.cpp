#include "BookmarkReader.h"

#include <cstdint>
#include <cstring>

#include "RowBookmarks.h"

namespace {

constexpr DBLENGTH kValueSize = 256;
constexpr DBBYTEOFFSET kLengthOffset = kValueSize;
constexpr DBBYTEOFFSET kStatusOffset = kValueSize + sizeof(DBLENGTH);
static_assert(kStatusOffset + sizeof(DBSTATUS) <= BookmarkReader::kBindingSize);
static_assert(BookmarkReader::kBindingSize % 8 == 0);

}  // namespace

DBBINDING BookmarkReader::Binding(DBBYTEOFFSET offset) {
  DBBINDING binding{};
  binding.iOrdinal = 0;
  binding.dwPart = DBPART_VALUE | DBPART_LENGTH | DBPART_STATUS;
  binding.dwMemOwner = DBMEMOWNER_CLIENTOWNED;
  binding.eParamIO = DBPARAMIO_NOTPARAM;
  binding.wType = DBTYPE_BYTES;
  binding.cbMaxLen = kValueSize;
  binding.obValue = offset;
  binding.obLength = offset + kLengthOffset;
  binding.obStatus = offset + kStatusOffset;
  return binding;
}

void BookmarkReader::ClearBuffer(BYTE* at) {
  std::memset(at + kLengthOffset, 0, kBindingSize - kLengthOffset);
}

std::string_view BookmarkReader::FromBuffer(const BYTE* at) {
  DBSTATUS status = 0;
  DBLENGTH length = 0;
  std::memcpy(&status, at + kStatusOffset, sizeof status);
  std::memcpy(&length, at + kLengthOffset, sizeof length);
  if (status != DBSTATUS_S_OK || length > RowBookmarks::kMaxSize) return {};
  return std::string_view(reinterpret_cast<const char*>(at), length);
}

BookmarkReader::BookmarkReader(IRowset* rowset) : m_pRowset(rowset) {
  if (!rowset || FAILED(rowset->QueryInterface(IID_IAccessor, reinterpret_cast<void**>(&m_accessor)))) return;
  const DBBINDING binding = Binding(0);
  DBBINDSTATUS status = DBBINDSTATUS_OK;
  if (FAILED(m_accessor->CreateAccessor(DBACCESSOR_ROWDATA, 1, &binding, kBindingSize, &m_handle, &status)))
    m_handle = 0;
}

BookmarkReader::~BookmarkReader() {
  if (m_handle) m_accessor->ReleaseAccessor(m_handle, nullptr);
}

std::string BookmarkReader::Read(HROW row) {
  if (!m_handle) return {};
  // Aligned for the length and status parts.
  uint64_t words[kBindingSize / 8] = {};
  auto* buffer = reinterpret_cast<BYTE*>(words);
  if (FAILED(m_pRowset->GetData(row, m_handle, buffer))) return {};
  return std::string(FromBuffer(buffer));
}
