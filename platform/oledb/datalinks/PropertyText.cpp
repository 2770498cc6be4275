#include "PropertyText.h"

#include <QStringList>

#include "stringapiset.h"

namespace {

QString FromOle(const OLECHAR* text, size_t length) {
  return QString::fromUtf16(text, static_cast<qsizetype>(length));
}

bool BooleanFromText(const QString& text, VARIANT_BOOL& result) {
  const QString word = text.trimmed().toLower();
  static const QStringList trueWords = {"true", "yes", "-1", "1"};
  static const QStringList falseWords = {"false", "no", "0"};
  if (trueWords.contains(word)) {
    result = VARIANT_TRUE;
    return true;
  }
  if (falseWords.contains(word)) {
    result = VARIANT_FALSE;
    return true;
  }
  return false;
}

}  // namespace

QString PropertyValueToText(const VARIANT& value) {
  switch (value.vt) {
    case VT_EMPTY:
    case VT_NULL:
      return QString();
    case VT_BOOL:
      return value.boolVal ? QStringLiteral("True") : QStringLiteral("False");
    case VT_BSTR:
      return FromOle(value.bstrVal, SysStringLen(value.bstrVal));
    default: {
      CPropertyValue text;
      if (FAILED(VariantChangeType(text.Receive(), &value, 0, VT_BSTR))) return QString();
      return FromOle(text.Get().bstrVal, SysStringLen(text.Get().bstrVal));
    }
  }
}

bool PropertyValueFromText(const QString& text, VARTYPE type, CPropertyValue& value) {
  VARIANT* out = value.Receive();
  if (text.isEmpty()) return true;
  if (type == VT_BOOL) {
    VARIANT_BOOL flag = VARIANT_FALSE;
    if (!BooleanFromText(text, flag)) return false;
    out->vt = VT_BOOL;
    out->boolVal = flag;
    return true;
  }
  CPropertyValue source;
  VARIANT* bstr = source.Receive();
  bstr->vt = VT_BSTR;
  bstr->bstrVal = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.utf16()),
                                    static_cast<UINT>(text.size()));
  if (!bstr->bstrVal) return false;
  if (type == VT_BSTR) {
    value = std::move(source);
    return true;
  }
  return SUCCEEDED(VariantChangeType(out, &source.Get(), 0, type));
}
