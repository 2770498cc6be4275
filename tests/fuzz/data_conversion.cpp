// The kit's data conversion both ways, with buffers exactly as large as
// the binding says (short ones included) at unaligned offsets: values into a
// client's buffer (ConvertToBinding) and a client's values read for a write
// (ConvertFromBinding). Nothing may be written or read outside the buffer
// or the client's by-reference block, and text delivered in place ends in
// its terminator.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <memory>
#include <string>

#include "DataConversion.h"
#include "FuzzInput.h"
#include "objbase.h"
#include "oleauto.h"
#include "stringapiset.h"

namespace {

constexpr DBTYPE kTypes[] = {DBTYPE_STR, DBTYPE_WSTR, DBTYPE_BYTES, DBTYPE_BSTR, DBTYPE_VARIANT,
                             DBTYPE_I1,  DBTYPE_I2,   DBTYPE_I4,    DBTYPE_I8,   DBTYPE_UI1,
                             DBTYPE_UI2, DBTYPE_UI4,  DBTYPE_UI8,   DBTYPE_R4,   DBTYPE_R8,
                             DBTYPE_BOOL, DBTYPE_GUID, DBTYPE_DATE, DBTYPE_NUMERIC};
constexpr VARTYPE kVariantTypes[] = {VT_EMPTY, VT_NULL, VT_I2, VT_I4, VT_I8, VT_UI8, VT_R4,
                                     VT_R8,    VT_CY,   VT_BOOL, VT_BSTR, VT_ERROR, VT_DATE};
constexpr DBSTATUS kGivenStatuses[] = {DBSTATUS_S_OK, DBSTATUS_S_ISNULL, DBSTATUS_S_DEFAULT,
                                       DBSTATUS_S_IGNORE, DBSTATUS_E_UNAVAILABLE};

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "data_conversion: %s\n", what);
  std::abort();
}

bool IsVariableLength(DBTYPE base) {
  return base == DBTYPE_STR || base == DBTYPE_WSTR || base == DBTYPE_BYTES;
}

size_t ValueSize(DBTYPE type, DBLENGTH cbMaxLen) {
  if (type & DBTYPE_BYREF) return sizeof(void*);
  switch (type) {
    case DBTYPE_STR:
    case DBTYPE_WSTR:
    case DBTYPE_BYTES: return cbMaxLen;
    case DBTYPE_VARIANT: return sizeof(VARIANT);
    case DBTYPE_GUID: return sizeof(GUID);
    case DBTYPE_I1:
    case DBTYPE_UI1: return 1;
    case DBTYPE_I2:
    case DBTYPE_UI2:
    case DBTYPE_BOOL: return 2;
    case DBTYPE_I4:
    case DBTYPE_UI4:
    case DBTYPE_R4: return 4;
    default: return 8;
  }
}

// A binding and a buffer holding exactly its value, length and status.
struct BoundBuffer {
  DBBINDING binding{};
  size_t size = 0;
  std::unique_ptr<BYTE[]> data;

  BoundBuffer(FuzzInput& in) {
    DBTYPE base = kTypes[in.Pick(std::size(kTypes))];
    bool byRef = IsVariableLength(base) && (in.Take<uint8_t>() & 1);
    binding.wType = base | (byRef ? DBTYPE_BYREF : 0);
    binding.dwPart = in.Take<uint8_t>() & (DBPART_VALUE | DBPART_LENGTH | DBPART_STATUS);
    binding.cbMaxLen = in.Take<uint8_t>() % 48;
    binding.obValue = in.Pick(4);  // offsets need not be aligned
    binding.obLength = binding.obValue + ValueSize(binding.wType, binding.cbMaxLen);
    binding.obStatus = binding.obLength + sizeof(DBLENGTH);
    binding.iOrdinal = 1;
    size = binding.obStatus + sizeof(DBSTATUS);
    data.reset(new BYTE[size]);
    std::memset(data.get(), 0xA5, size);
  }

  bool Binds(DBPART part) const { return (binding.dwPart & part) != 0; }
  DBTYPE Base() const { return binding.wType & ~DBTYPE_BYREF; }
  bool ByRef() const { return (binding.wType & DBTYPE_BYREF) != 0; }
  BYTE* Value() const { return data.get() + binding.obValue; }

  template <class T>
  T Load(size_t offset) const {
    T v;
    std::memcpy(&v, data.get() + offset, sizeof v);
    return v;
  }
  template <class T>
  void Store(size_t offset, const T& v) {
    std::memcpy(data.get() + offset, &v, sizeof v);
  }
};

NativeValueView FuzzedNativeValue(FuzzInput& in) {
  switch (in.Pick(5)) {
    case 0: return NativeValueView::Null();
    case 1: return NativeValueView::Integer(in.Take<int64_t>());
    case 2: return NativeValueView::Real(in.Take<double>());
    case 3: return NativeValueView::Text(in.TakeRest());
    default: {
      auto bytes = in.TakeRest();
      return NativeValueView::Blob(bytes.data(), bytes.size());
    }
  }
}

bool TerminatedWithin(const BoundBuffer& b, size_t unit) {
  for (size_t i = 0; i + unit <= b.binding.cbMaxLen; i += unit)
    if (b.Value()[i] == 0 && (unit == 1 || b.Value()[i + 1] == 0)) return true;
  return false;
}

// Frees what a delivered value owns, as a client would.
void ReleaseDelivered(const BoundBuffer& b, DBSTATUS status) {
  if (!b.Binds(DBPART_VALUE) || (status != DBSTATUS_S_OK && status != DBSTATUS_S_TRUNCATED)) return;
  if (b.ByRef()) {
    CoTaskMemFree(b.Load<void*>(b.binding.obValue));
  } else if (b.Base() == DBTYPE_BSTR) {
    SysFreeString(b.Load<BSTR>(b.binding.obValue));
  } else if (b.Base() == DBTYPE_VARIANT) {
    VARIANT v = b.Load<VARIANT>(b.binding.obValue);
    VariantClear(&v);
  }
}

void ToBinding(FuzzInput& in) {
  BoundBuffer b(in);
  NativeValueView value = FuzzedNativeValue(in);
  DBSTATUS status = ConvertToBinding(value, b.binding, b.data.get());
  if (b.Binds(DBPART_STATUS) && b.Load<DBSTATUS>(b.binding.obStatus) != status)
    Fail("the status part differs from the status returned");
  bool delivered = b.Binds(DBPART_VALUE) && !b.ByRef() &&
                   (status == DBSTATUS_S_OK || status == DBSTATUS_S_TRUNCATED);
  if (delivered && b.Base() == DBTYPE_STR && b.binding.cbMaxLen > 0 && !TerminatedWithin(b, 1))
    Fail("text in place is not terminated");
  if (delivered && b.Base() == DBTYPE_WSTR && b.binding.cbMaxLen >= 2 && !TerminatedWithin(b, 2))
    Fail("wide text in place is not terminated");
  ReleaseDelivered(b, status);
}

// What a client stores for a write; `owned` keeps by-reference blocks,
// BSTRs and variants alive until the read is done.
struct ClientValue {
  std::unique_ptr<BYTE[]> block;
  BSTR bstr = nullptr;
  VARIANT variant;
  ClientValue() { VariantInit(&variant); }
  ~ClientValue() {
    SysFreeString(bstr);
    VariantClear(&variant);
  }
};

BSTR FuzzedBstr(FuzzInput& in) {
  std::u16string text = AnsiToOle(in.TakeRest());
  return SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
}

// A by-reference block the size of the rest of the input (whole characters
// for wide text). Without a length part text ends at its terminator, so one
// is added; with one, the length is the block's size at most, as a client
// must keep it.
void FillByRef(BoundBuffer& b, FuzzInput& in, ClientValue& client) {
  bool nullPointer = in.Take<uint8_t>() == 0xFF;
  std::string_view bytes = in.TakeRest();
  if (b.Base() == DBTYPE_WSTR) bytes = bytes.substr(0, bytes.size() & ~size_t{1});  // whole characters
  bool terminate = !b.Binds(DBPART_LENGTH) && b.Base() != DBTYPE_BYTES;
  size_t size = bytes.size() + (terminate ? 2 : 0);
  client.block.reset(new BYTE[size ? size : 1]);
  std::memcpy(client.block.get(), bytes.data(), bytes.size());
  if (terminate) std::memset(client.block.get() + bytes.size(), 0, 2);
  BYTE* pointer = nullPointer ? nullptr : client.block.get();
  b.Store(b.binding.obValue, pointer);
  if (b.Binds(DBPART_LENGTH) && b.Load<DBLENGTH>(b.binding.obLength) > bytes.size())
    b.Store<DBLENGTH>(b.binding.obLength, bytes.size());
}

void FillValue(BoundBuffer& b, FuzzInput& in, ClientValue& client) {
  if (b.ByRef()) return FillByRef(b, in, client);
  if (b.Base() == DBTYPE_BSTR) {
    client.bstr = in.Take<uint8_t>() == 0xFF ? nullptr : FuzzedBstr(in);
    b.Store(b.binding.obValue, client.bstr);
  } else if (b.Base() == DBTYPE_VARIANT) {
    client.variant.vt = kVariantTypes[in.Pick(std::size(kVariantTypes))];
    if (client.variant.vt == VT_BSTR) client.variant.bstrVal = FuzzedBstr(in);
    else client.variant.llVal = in.Take<int64_t>();
    b.Store(b.binding.obValue, client.variant);
  } else {
    size_t size = ValueSize(b.binding.wType, b.binding.cbMaxLen);
    std::string_view bytes = in.TakeBytes(size);
    std::memcpy(b.Value(), bytes.data(), bytes.size());
  }
}

void FromBinding(FuzzInput& in) {
  BoundBuffer b(in);
  b.Store(b.binding.obStatus, kGivenStatuses[in.Pick(std::size(kGivenStatuses))]);
  b.Store<DBLENGTH>(b.binding.obLength, in.Take<uint16_t>());
  ClientValue client;
  FillValue(b, in, client);
  NativeValue out;
  ConvertFromBinding(b.binding, b.data.get(), out);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzInput in(data, size);
  if (in.Take<uint8_t>() & 1) FromBinding(in);
  else ToBinding(in);
  return 0;
}
