// One owned VARIANT: cleared on destruction, deep-copied on copy.
#pragma once

#include "oleauto.h"

class CPropertyValue {
 public:
  CPropertyValue() { VariantInit(&m_value); }
  explicit CPropertyValue(const VARIANT& value) : CPropertyValue() { VariantCopy(&m_value, &value); }
  CPropertyValue(const CPropertyValue& other) : CPropertyValue(other.m_value) {}
  CPropertyValue(CPropertyValue&& other) noexcept : m_value(other.m_value) { VariantInit(&other.m_value); }
  ~CPropertyValue() { VariantClear(&m_value); }

  CPropertyValue& operator=(CPropertyValue other) noexcept {
    VARIANT held = m_value;
    m_value = other.m_value;
    other.m_value = held;
    return *this;
  }

  const VARIANT& Get() const { return m_value; }
  // For out-parameters: clears what is held first.
  VARIANT* Receive() {
    VariantClear(&m_value);
    return &m_value;
  }
  bool IsEmpty() const { return m_value.vt == VT_EMPTY; }

 private:
  VARIANT m_value;
};
