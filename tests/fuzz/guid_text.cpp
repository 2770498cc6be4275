// GUID text: the registry form read by IIDFromString and CLSIDFromString
// (which also takes programmatic names). What reads as a GUID is written
// back as the same text, ignoring the case of the hex digits.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwctype>
#include <string>

#include "FuzzInput.h"
#include "objbase.h"
#include "stringapiset.h"

namespace {

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "guid_text: %s\n", what);
  std::abort();
}

bool SameIgnoringCase(const std::u16string& a, const OLECHAR* b) {
  size_t i = 0;
  for (; i < a.size() && b[i]; ++i)
    if (std::towupper(a[i]) != std::towupper(b[i])) return false;
  return i == a.size() && !b[i];
}

void CheckWrittenBack(const std::u16string& text, const GUID& g) {
  OLECHAR written[39];
  if (StringFromGUID2(g, written, 39) != 39) Fail("a GUID was not written");
  if (!SameIgnoringCase(text, written)) Fail("a GUID read from text is written differently");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const HRESULT initialized = CoInitialize(nullptr);
  (void)initialized;
  FuzzInput in(data, size);
  bool wide = in.Take<uint8_t>() & 1;
  std::u16string text;
  if (wide) {
    std::string_view bytes = in.TakeRest();
    text.assign(bytes.size() / 2, u'\0');
    std::memcpy(text.data(), bytes.data(), text.size() * 2);
  } else {
    text = AnsiToOle(in.TakeRest());
  }
  std::u16string terminated(text.c_str());  // as a caller's OLE string ends
  IID iid{};
  if (SUCCEEDED(IIDFromString(terminated.c_str(), &iid)) && !terminated.empty())
    CheckWrittenBack(terminated, iid);
  CLSID clsid{};
  if (SUCCEEDED(CLSIDFromString(terminated.c_str(), &clsid)) && terminated[0] == u'{')
    CheckWrittenBack(terminated, clsid);
  return 0;
}
