#include "SchemaRestrictions.h"

#include "ErrorRecords.h"
#include "oleauto.h"
#include "stringapiset.h"

namespace {

// Numeric restrictions arrive as numbers, booleans or, typed by a user, as text.
std::optional<int64_t> NumberOf(const VARIANT& v) {
  if (v.vt == VT_BOOL) return v.boolVal ? 1 : 0;
  VARIANT converted;
  VariantInit(&converted);
  if (FAILED(VariantChangeType(&converted, &v, 0, VT_I8))) return std::nullopt;
  return converted.llVal;
}

}  // namespace

HRESULT SchemaRestrictions::Read(const SchemaLayout& layout, ULONG supportedMask, ULONG numericMask,
                                 ULONG count, const VARIANT values[], REFCLSID provider,
                                 std::u16string_view source) {
  auto fail = [&](HRESULT hr, const std::string& text) {
    return PostError(hr, provider, IID_IDBSchemaRowset, source, text);
  };
  if (count > layout.restrictions.size() || count > kMax)
    return fail(E_INVALIDARG, "More restrictions were given than the schema rowset has.");
  if (count && !values) return fail(E_INVALIDARG, "Restrictions were counted but not given.");
  for (ULONG i = 0; i < count; ++i) {
    const VARIANT& v = values[i];
    if (v.vt == VT_EMPTY) continue;
    if (!(supportedMask & (1u << i)))
      return fail(DB_E_NOTSUPPORTED, "Restriction " + std::to_string(i + 1) + " (" +
                                         OleToAnsi(layout.restrictions[i]) + ") of this schema rowset is not supported.");
    if (numericMask & (1u << i)) {
      auto n = NumberOf(v);
      if (!n) return fail(E_INVALIDARG, "A restriction value has the wrong type.");
      m_number[i] = *n;
    } else {
      if (v.vt != VT_BSTR) return fail(E_INVALIDARG, "A restriction value has the wrong type.");
      m_text[i] = OleToAnsi(v.bstrVal ? v.bstrVal : u"");
    }
  }
  return S_OK;
}
