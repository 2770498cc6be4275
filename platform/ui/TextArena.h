// Compact storage for many short UTF-8 texts: the texts lie back to back in
// large chunks and each is named by one 64-bit reference, so a million rows
// of cells cost a few allocations instead of one heap object per cell.
// Texts are never moved or freed one by one; replacing a text stores a new
// copy and leaves the old bytes dead until Clear.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

class TextArena {
 public:
  // 0 is the empty text; any reference with a zero length is empty.
  using Ref = uint64_t;

  TextArena() = default;
  TextArena(const TextArena&) = delete;
  TextArena& operator=(const TextArena&) = delete;

  // Copies the text in; false only when the arena cannot address more chunks.
  bool Store(std::string_view text, Ref& ref);
  std::string_view View(Ref ref) const;
  // Counts a text as no longer used, for the memory figures.
  void Forget(Ref ref);
  void Clear();

  size_t LiveBytes() const { return m_liveBytes; }
  // Bytes the arena holds from the system: chunk storage and its index.
  size_t ReservedBytes() const;

 private:
  struct Chunk {
    std::unique_ptr<char[]> data;
    uint32_t capacity = 0;
    uint32_t used = 0;
    size_t bigLength = 0;  // length of a text that owns the chunk alone
  };

  bool StoreInOwnChunk(std::string_view text, Ref& ref);
  bool NewChunk(size_t capacity);

  std::vector<Chunk> m_chunks;
  size_t m_filling = SIZE_MAX;  // the shared chunk small texts go into
  size_t m_liveBytes = 0;
};
