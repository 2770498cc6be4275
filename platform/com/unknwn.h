// IUnknown and the link between an interface type and its IID.
#pragma once

#include "wtypes.h"

// Specialised once per interface by DECLARE_INTERFACE_IID: gives the IID and
// the interface it derives from, so QueryInterface can answer for ancestors.
template <class T>
struct InterfaceTraits;

template <class T>
constexpr const IID& IidOf() {
  return InterfaceTraits<T>::iid;
}

#define DECLARE_INTERFACE_IID(itf, base, d1, d2, d3, b0, b1, b2, b3, b4, b5, b6, b7) \
  struct itf;                                                                        \
  inline constexpr IID IID_##itf = {d1, d2, d3, {b0, b1, b2, b3, b4, b5, b6, b7}};   \
  template <>                                                                        \
  struct InterfaceTraits<itf> {                                                      \
    static constexpr const IID& iid = IID_##itf;                                     \
    using Base = base;                                                               \
  };

struct IUnknown;
inline constexpr IID IID_IUnknown = {0x00000000, 0x0000, 0x0000,
                                     {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
template <>
struct InterfaceTraits<IUnknown> {
  static constexpr const IID& iid = IID_IUnknown;
  using Base = void;
};

struct IUnknown {
  virtual HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) = 0;
  virtual ULONG STDMETHODCALLTYPE AddRef() = 0;
  virtual ULONG STDMETHODCALLTYPE Release() = 0;

 protected:
  ~IUnknown() = default;
};
typedef IUnknown* LPUNKNOWN;
