// Holder of one interface reference.
#pragma once

#include <utility>

#include "unknwn.h"

template <class T>
class ComPtr {
 public:
  ComPtr() = default;
  ComPtr(std::nullptr_t) {}
  // Adds a reference of its own.
  ComPtr(T* p) : m_p(p) {
    if (m_p) m_p->AddRef();
  }
  ComPtr(const ComPtr& o) : ComPtr(o.m_p) {}
  ComPtr(ComPtr&& o) noexcept : m_p(std::exchange(o.m_p, nullptr)) {}
  ~ComPtr() { Reset(); }

  ComPtr& operator=(ComPtr o) noexcept {
    std::swap(m_p, o.m_p);
    return *this;
  }

  T* Get() const { return m_p; }
  T* operator->() const { return m_p; }
  explicit operator bool() const { return m_p != nullptr; }
  operator T*() const { return m_p; }

  // For out-parameters: releases what is held first.
  T** operator&() {
    Reset();
    return &m_p;
  }
  T** ReleaseAndGetAddressOf() { return operator&(); }
  void** ReleaseAndGetVoidAddress() { return reinterpret_cast<void**>(operator&()); }

  void Reset() {
    if (T* p = std::exchange(m_p, nullptr)) p->Release();
  }
  // Takes over a reference without adding one.
  void Attach(T* p) {
    Reset();
    m_p = p;
  }
  // Gives the reference away.
  T* Detach() { return std::exchange(m_p, nullptr); }

  // `ptr.As(&other)`: the address-of of a ComPtr already gives U**.
  template <class U>
  HRESULT As(U** out) const {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!m_p) return E_POINTER;
    return m_p->QueryInterface(IidOf<U>(), reinterpret_cast<void**>(out));
  }
  template <class U>
  HRESULT As(ComPtr<U>* out) const {
    if (!m_p) return E_POINTER;
    return m_p->QueryInterface(IidOf<U>(), reinterpret_cast<void**>(&*out));
  }
  template <class U>
  ComPtr<U> As() const {
    ComPtr<U> out;
    if (m_p) m_p->QueryInterface(IidOf<U>(), reinterpret_cast<void**>(&out));
    return out;
  }

  HRESULT CopyTo(T** pp) const {
    if (!pp) return E_POINTER;
    *pp = m_p;
    if (m_p) m_p->AddRef();
    return S_OK;
  }

 private:
  T* m_p = nullptr;
};
