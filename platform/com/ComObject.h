// One object, several interfaces, one reference count.
#pragma once

#include <atomic>
#include <new>
#include <tuple>
#include <utility>
#include <type_traits>

#include "unknwn.h"

template <class... Itfs>
class ComObject : public Itfs... {
 public:
  ComObject() = default;
  ComObject(const ComObject&) = delete;
  ComObject& operator=(const ComObject&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
    if (!ppv) return E_POINTER;
    *ppv = FindInterface(riid);
    if (!*ppv) return E_NOINTERFACE;
    static_cast<IUnknown*>(*ppv)->AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++m_cRef; }
  ULONG STDMETHODCALLTYPE Release() override {
    ULONG c = --m_cRef;
    if (c == 0) delete this;
    return c;
  }

  // The canonical IUnknown of this object: the first interface's.
  IUnknown* Identity() { return static_cast<IUnknown*>(static_cast<First*>(this)); }

  // Construct with a count of one, query, release: a failed query frees the
  // object, and no path leaks it.
  template <class T, class... Args>
  static HRESULT CreateInstance(REFIID riid, void** ppv, Args&&... args) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    T* p = new (std::nothrow) T(std::forward<Args>(args)...);
    if (!p) return E_OUTOFMEMORY;
    HRESULT hr = p->QueryInterface(riid, ppv);
    p->Release();
    return hr;
  }

 protected:
  virtual ~ComObject() = default;

  // Derived classes override to answer for interfaces granted conditionally
  // or held elsewhere; they fall back to this for the listed ones.
  virtual void* FindInterface(REFIID riid) {
    if (riid == IID_IUnknown) return Identity();
    void* found = nullptr;
    ((found = found ? found : Match<Itfs>(riid)), ...);
    return found;
  }

  ULONG RefCount() const { return m_cRef.load(); }

 private:
  using First = std::tuple_element_t<0, std::tuple<Itfs...>>;

  template <class Itf>
  void* Match(REFIID riid) {
    return MatchChain<Itf, Itf>(riid);
  }
  template <class Itf, class Ancestor>
  void* MatchChain(REFIID riid) {
    if constexpr (std::is_same_v<Ancestor, IUnknown> || std::is_void_v<Ancestor>) {
      return nullptr;
    } else {
      if (riid == IidOf<Ancestor>()) return static_cast<Ancestor*>(static_cast<Itf*>(this));
      return MatchChain<Itf, typename InterfaceTraits<Ancestor>::Base>(riid);
    }
  }

  std::atomic<ULONG> m_cRef{1};
};
