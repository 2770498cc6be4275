// Initialization strings: the parser, quoting, typed values and
// IDataInitialize::GetDataSource. Parsing what was written must give back
// what was quoted, and a data source made from any text creates no file.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "ComPtr.h"
#include "FuzzInput.h"
#include "InitializationString.h"
#include "ScratchDirectory.h"
#include "msdasc.h"
#include "objbase.h"
#include "stringapiset.h"

namespace {

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "init_string: %s\n", what);
  std::abort();
}

struct Services {
  Services() {
    CoInitialize(nullptr);
    if (FAILED(CoCreateInstance(CLSID_MSDAINITIALIZE, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IDataInitialize, init.ReleaseAndGetVoidAddress())))
      Fail("no data initialization service");
  }
  ScratchDirectory scratch;
  ComPtr<IDataInitialize> init;
};

void CheckQuotingRoundTrips(const std::u16string& value) {
  std::string error;
  auto again = ParseInitializationString(u"k=" + QuoteInitStringValue(value), error);
  if (!again || again->size() != 1 || (*again)[0].value != value) Fail("a quoted value reads back changed");
}

void ConvertValue(const std::u16string& value) {
  for (VARTYPE type : {VT_BSTR, VT_BOOL, VT_I2, VT_I4, VT_I8, VT_UI4, VT_R8}) {
    VARIANT typed;
    VariantInit(&typed);
    if (SUCCEEDED(InitValueFromText(type, value, typed))) {
      std::u16string text;
      InitValueToText(typed, text);
    }
    VariantClear(&typed);
  }
}

void MakeDataSource(IDataInitialize* init, const std::u16string& text) {
  ComPtr<IUnknown> dataSource;
  HRESULT hr = init->GetDataSource(nullptr, CLSCTX_INPROC_SERVER, text.c_str(), IID_IUnknown,
                                   &dataSource);
  if (SUCCEEDED(hr) != static_cast<bool>(dataSource)) Fail("the result and the data source disagree");
  if (!dataSource) return;
  LPOLESTR written = nullptr;
  if (SUCCEEDED(init->GetInitializationString(dataSource.Get(), true, &written)) && written) {
    std::string error;
    if (!ParseInitializationString(written, error)) Fail("a written string does not parse");
  }
  CoTaskMemFree(written);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Services services;
  std::u16string text = AnsiToOle(FuzzInput(data, size).TakeRest());
  std::string error;
  if (auto pairs = ParseInitializationString(text, error)) {
    for (const auto& pair : *pairs) {
      CheckQuotingRoundTrips(pair.value);
      ConvertValue(pair.value);
    }
  }
  MakeDataSource(services.init.Get(), text);
  SetErrorInfo(0, nullptr);
  if (!services.scratch.IsEmpty()) Fail("a data source made from text created a file");
  return 0;
}
