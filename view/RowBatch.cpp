#include "RowBatch.h"

#include "objbase.h"

RowBatch::~RowBatch() {
  for (const char* text : m_texts) CoTaskMemFree(const_cast<char*>(text));
}
