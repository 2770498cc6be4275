#include "TextArena.h"

#include <cstring>

namespace {

// Reference layout: chunk index (20 bits) | offset in chunk (20) | length (24).
constexpr int kLengthBits = 24;
constexpr int kOffsetBits = 20;
constexpr uint64_t kLengthMask = (uint64_t{1} << kLengthBits) - 1;
constexpr uint64_t kOffsetMask = (uint64_t{1} << kOffsetBits) - 1;
constexpr size_t kMaxChunks = size_t{1} << 20;
// Shared chunks stay within the offset field; longer texts get their own.
constexpr size_t kChunkSize = 256 * 1024;
constexpr size_t kOwnChunkFrom = 16 * 1024;
// The length field's top value says "read the length from the chunk".
constexpr uint64_t kLongLength = kLengthMask;

TextArena::Ref MakeRef(size_t chunk, size_t offset, uint64_t length) {
  return (uint64_t{chunk} << (kOffsetBits + kLengthBits)) | (uint64_t{offset} << kLengthBits) | length;
}

}  // namespace

bool TextArena::NewChunk(size_t capacity) {
  if (m_chunks.size() >= kMaxChunks) return false;
  Chunk chunk;
  chunk.data = std::make_unique_for_overwrite<char[]>(capacity);
  chunk.capacity = static_cast<uint32_t>(capacity);
  m_chunks.push_back(std::move(chunk));
  return true;
}

bool TextArena::StoreInOwnChunk(std::string_view text, Ref& ref) {
  if (m_chunks.size() >= kMaxChunks) return false;
  Chunk chunk;
  chunk.data = std::make_unique_for_overwrite<char[]>(text.size());
  std::memcpy(chunk.data.get(), text.data(), text.size());
  chunk.bigLength = text.size();
  m_chunks.push_back(std::move(chunk));
  const uint64_t length = text.size() < kLongLength ? text.size() : kLongLength;
  ref = MakeRef(m_chunks.size() - 1, 0, length);
  m_liveBytes += text.size();
  return true;
}

bool TextArena::Store(std::string_view text, Ref& ref) {
  ref = 0;
  if (text.empty()) return true;
  if (text.size() >= kOwnChunkFrom) return StoreInOwnChunk(text, ref);
  if (m_filling >= m_chunks.size() || m_chunks[m_filling].capacity - m_chunks[m_filling].used < text.size()) {
    if (!NewChunk(kChunkSize)) return false;
    m_filling = m_chunks.size() - 1;
  }
  Chunk& chunk = m_chunks[m_filling];
  std::memcpy(chunk.data.get() + chunk.used, text.data(), text.size());
  ref = MakeRef(m_filling, chunk.used, text.size());
  chunk.used += static_cast<uint32_t>(text.size());
  m_liveBytes += text.size();
  return true;
}

std::string_view TextArena::View(Ref ref) const {
  const uint64_t length = ref & kLengthMask;
  if (length == 0) return {};
  const size_t chunk = ref >> (kOffsetBits + kLengthBits);
  const size_t offset = (ref >> kLengthBits) & kOffsetMask;
  if (chunk >= m_chunks.size()) return {};
  const Chunk& c = m_chunks[chunk];
  const size_t size = length == kLongLength ? c.bigLength : length;
  return {c.data.get() + offset, size};
}

void TextArena::Forget(Ref ref) { m_liveBytes -= View(ref).size(); }

void TextArena::Clear() {
  m_chunks.clear();
  m_chunks.shrink_to_fit();
  m_filling = SIZE_MAX;
  m_liveBytes = 0;
}

size_t TextArena::ReservedBytes() const {
  size_t bytes = m_chunks.capacity() * sizeof(Chunk);
  for (const Chunk& c : m_chunks) bytes += c.bigLength ? c.bigLength : c.capacity;
  return bytes;
}
