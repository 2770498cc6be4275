#include "LoadAccessor.h"

#include <cstring>

#include "BookmarkReader.h"

namespace {

DBLENGTH AlignedTo8(DBLENGTH size) { return (size + 7) / 8 * 8; }

}  // namespace

LoadAccessor::LoadAccessor(IRowset* rowset, const DisplayBindings& bindings, bool wantBookmarks)
    : m_textsSize(bindings.RowSize()) {
  if (!rowset || FAILED(rowset->QueryInterface(IID_IAccessor, reinterpret_cast<void**>(&m_accessor)))) return;
  std::vector<DBBINDING> all(bindings.Bindings(), bindings.Bindings() + bindings.ColumnCount());
  if (wantBookmarks) {
    // Never at offset 0: that stands for "no bookmark" here.
    const DBBYTEOFFSET offset = AlignedTo8(bindings.RowSize() ? bindings.RowSize() : 8);
    all.push_back(BookmarkReader::Binding(offset));
    if (Create(all, offset + BookmarkReader::kBindingSize)) {
      m_bookmarkOffset = offset;
      return;
    }
    all.pop_back();
  }
  Create(all, bindings.RowSize());
}

LoadAccessor::~LoadAccessor() {
  if (m_handle) m_accessor->ReleaseAccessor(m_handle, nullptr);
}

bool LoadAccessor::Create(const std::vector<DBBINDING>& bindings, DBLENGTH rowSize) {
  std::vector<DBBINDSTATUS> statuses(bindings.empty() ? 1 : bindings.size());
  HACCESSOR handle = 0;
  if (FAILED(m_accessor->CreateAccessor(DBACCESSOR_ROWDATA, bindings.size(), bindings.data(), rowSize, &handle,
                                        statuses.data())))
    return false;
  m_handle = handle;
  m_rowSize = rowSize;
  return true;
}

void LoadAccessor::ClearRow(BYTE* row) const {
  std::memset(row, 0, m_textsSize);
  if (HasBookmarks()) BookmarkReader::ClearBuffer(row + m_bookmarkOffset);
}

std::string_view LoadAccessor::Bookmark(const BYTE* row) const {
  return HasBookmarks() ? BookmarkReader::FromBuffer(row + m_bookmarkOffset) : std::string_view();
}
