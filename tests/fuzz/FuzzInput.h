// Splits a fuzzer's bytes into the choices a target makes: small numbers
// from the front, the rest as one value. Running out gives zeros, so every
// input is usable.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

class FuzzInput {
 public:
  FuzzInput(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}

  template <class T>
  T Take() {
    T value{};
    size_t n = sizeof(T) < m_size ? sizeof(T) : m_size;
    if (n) std::memcpy(&value, m_data, n);
    Skip(n);
    return value;
  }

  // One of `count` choices.
  size_t Pick(size_t count) { return count ? Take<uint8_t>() % count : 0; }

  std::string_view TakeBytes(size_t n) {
    if (n > m_size) n = m_size;
    std::string_view bytes(reinterpret_cast<const char*>(m_data), n);
    Skip(n);
    return bytes;
  }

  std::string_view TakeRest() { return TakeBytes(m_size); }

 private:
  void Skip(size_t n) {
    m_data += n;
    m_size -= n;
  }

  const uint8_t* m_data;
  size_t m_size;
};
