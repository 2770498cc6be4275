// Command text through the SQLite provider on a fresh in-memory database
// holding one small table: execute (optionally asking for an updatable
// rowset) and read what comes back through text, wide text by reference,
// variant, integer and byte bindings. A success means the text held exactly
// one statement; a refusal for several means it did not.
#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "ComPtr.h"
#include "FuzzInput.h"
#include "ScratchDirectory.h"
#include "SqliteProvider.h"
#include "objbase.h"
#include "oledb.h"
#include "oledberr.h"
#include "oleauto.h"
#include "stringapiset.h"

namespace {

constexpr const char* kSchema =
    "create table t(a integer primary key, b text, c real, d blob, e numeric)";
constexpr const char* kRows =
    "insert into t values (1, 'one', 1.5, x'0102', 10), (2, 'zwei', -2e300, null, 'x'), "
    "(3, null, 0, x'', 3.25)";
constexpr DBCOUNTITEM kMaxRows = 200;

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "sqlite_command: %s\n", what);
  std::abort();
}

// Cancels a command that runs too long, so a statement that would run for
// ever ends as a failure instead of stalling the fuzzer.
class Watchdog {
 public:
  Watchdog() : m_thread([this] { Watch(); }) {}
  ~Watchdog() {
    {
      std::lock_guard lock(m_mutex);
      m_stop = true;
    }
    m_wake.notify_one();
    m_thread.join();
  }
  void Arm(ICommand* command) {
    std::lock_guard lock(m_mutex);
    m_command = command;
    m_deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
  }
  void Disarm() {
    std::lock_guard lock(m_mutex);
    m_command = nullptr;
  }

 private:
  void Watch() {
    std::unique_lock lock(m_mutex);
    while (!m_stop) {
      m_wake.wait_for(lock, std::chrono::milliseconds(100));
      if (m_command && std::chrono::steady_clock::now() > m_deadline) {
        m_command->Cancel();
        m_command = nullptr;
      }
    }
  }

  std::mutex m_mutex;
  std::condition_variable m_wake;
  ComPtr<ICommand> m_command;
  std::chrono::steady_clock::time_point m_deadline;
  bool m_stop = false;
  std::thread m_thread;
};

// A private connection with the same table, used only to prepare text and
// learn how many statements it holds.
class StatementCounter {
 public:
  StatementCounter() {
    if (sqlite3_open(":memory:", &m_db) != SQLITE_OK ||
        sqlite3_exec(m_db, kSchema, nullptr, nullptr, nullptr) != SQLITE_OK)
      Fail("no statement counter");
  }
  ~StatementCounter() { sqlite3_close(m_db); }

  // Whether the first statement prepares and anything but blanks and
  // comments follows it.
  bool HoldsMoreThanOne(const std::string& sql) {
    sqlite3_stmt* first = nullptr;
    const char* tail = nullptr;
    int rc = sqlite3_prepare_v2(m_db, sql.c_str(), -1, &first, &tail);
    sqlite3_finalize(first);
    if (rc != SQLITE_OK || !first) return false;
    sqlite3_stmt* second = nullptr;
    rc = sqlite3_prepare_v2(m_db, tail, -1, &second, nullptr);
    sqlite3_finalize(second);
    return rc != SQLITE_OK || second;
  }

 private:
  sqlite3* m_db = nullptr;
};

struct Setup {
  Setup() {
    CoInitialize(nullptr);
    // Bounds what a statement can allocate (huge blobs, long texts).
    sqlite3_hard_heap_limit64(64 << 20);
  }
  ScratchDirectory scratch;
  StatementCounter counter;
  Watchdog watchdog;
};

ComPtr<ICommandText> NewCommand(IUnknown* session) {
  ComPtr<IDBCreateCommand> create;
  ComPtr<ICommandText> command;
  if (FAILED(session->QueryInterface(IID_IDBCreateCommand, reinterpret_cast<void**>(&create))) ||
      FAILED(create->CreateCommand(nullptr, IID_ICommandText, reinterpret_cast<IUnknown**>(&command))))
    Fail("no command");
  return command;
}

void RunSetupStatement(IUnknown* session, const char* sql) {
  auto command = NewCommand(session);
  std::u16string text = AnsiToOle(sql);
  if (FAILED(command->SetCommandText(DBGUID_DEFAULT, text.c_str())) ||
      FAILED(command->Execute(nullptr, GUID_NULL, nullptr, nullptr, nullptr)))
    Fail("the seed table was not made");
}

ComPtr<IUnknown> FreshSession() {
  ComPtr<IDBInitialize> init;
  if (FAILED(CoCreateInstance(CLSID_RavezovSQLite, nullptr, CLSCTX_INPROC_SERVER, IID_IDBInitialize,
                              reinterpret_cast<void**>(&init))))
    Fail("no provider");
  DBPROP source{};
  source.dwPropertyID = DBPROP_INIT_DATASOURCE;
  source.vValue.vt = VT_BSTR;
  source.vValue.bstrVal = SysAllocString(u":memory:");
  DBPROPSET set{&source, 1, DBPROPSET_DBINIT};
  HRESULT hr = init.As<IDBProperties>()->SetProperties(1, &set);
  VariantClear(&source.vValue);
  if (FAILED(hr) || FAILED(init->Initialize())) Fail("the memory database did not open");
  ComPtr<IUnknown> session;
  if (FAILED(init.As<IDBCreateSession>()->CreateSession(nullptr, IID_IUnknown, &session)))
    Fail("no session");
  RunSetupStatement(session, kSchema);
  RunSetupStatement(session, kRows);
  return session;
}

void AskForUpdatableRows(ICommandText* command) {
  DBPROP change{};
  change.dwPropertyID = DBPROP_IRowsetChange;
  change.dwOptions = DBPROPOPTIONS_REQUIRED;
  change.vValue.vt = VT_BOOL;
  change.vValue.boolVal = VARIANT_TRUE;
  DBPROPSET set{&change, 1, DBPROPSET_ROWSET};
  ComPtr<ICommandText>(command).As<ICommandProperties>()->SetProperties(1, &set);
}

// One slot per column: value (room for any bound type), length, status.
struct Slot {
  alignas(8) BYTE value[std::max<size_t>(32, sizeof(VARIANT))];
  DBLENGTH length;
  DBSTATUS status;
};

std::vector<DBBINDING> Bindings(IRowset* rowset) {
  std::vector<DBBINDING> bindings;
  ComPtr<IColumnsInfo> info;
  DBORDINAL count = 0;
  DBCOLUMNINFO* columns = nullptr;
  OLECHAR* strings = nullptr;
  if (FAILED(rowset->QueryInterface(IID_IColumnsInfo, reinterpret_cast<void**>(&info))) ||
      FAILED(info->GetColumnInfo(&count, &columns, &strings)))
    return bindings;
  const DBTYPE types[] = {DBTYPE_STR, DBTYPE_WSTR | DBTYPE_BYREF, DBTYPE_VARIANT, DBTYPE_I8,
                          DBTYPE_BYTES};
  for (DBORDINAL i = 0; i < count; ++i) {
    if (columns[i].iOrdinal == 0) continue;
    DBBINDING b{};
    size_t at = bindings.size() * sizeof(Slot);
    b.iOrdinal = columns[i].iOrdinal;
    b.obValue = at + offsetof(Slot, value);
    b.obLength = at + offsetof(Slot, length);
    b.obStatus = at + offsetof(Slot, status);
    b.dwPart = DBPART_VALUE | DBPART_LENGTH | DBPART_STATUS;
    b.dwMemOwner = DBMEMOWNER_CLIENTOWNED;
    b.wType = types[bindings.size() % std::size(types)];
    b.cbMaxLen = b.wType == DBTYPE_STR ? 12 : b.wType == DBTYPE_BYTES ? 5 : sizeof(Slot::value);
    bindings.push_back(b);
  }
  CoTaskMemFree(columns);
  CoTaskMemFree(strings);
  return bindings;
}

void ReleaseValues(std::vector<Slot>& slots, const std::vector<DBBINDING>& bindings) {
  for (size_t i = 0; i < slots.size(); ++i) {
    if (slots[i].status != DBSTATUS_S_OK && slots[i].status != DBSTATUS_S_TRUNCATED) continue;
    if (bindings[i].wType & DBTYPE_BYREF) {
      void* block;
      std::memcpy(&block, slots[i].value, sizeof block);
      CoTaskMemFree(block);
    } else if (bindings[i].wType == DBTYPE_VARIANT) {
      VariantClear(reinterpret_cast<VARIANT*>(slots[i].value));
    }
  }
}

void ReadRows(IRowset* rowset) {
  auto bindings = Bindings(rowset);
  if (bindings.empty()) return;
  auto accessors = ComPtr<IRowset>(rowset).As<IAccessor>();
  HACCESSOR accessor = 0;
  if (FAILED(accessors->CreateAccessor(DBACCESSOR_ROWDATA, bindings.size(), bindings.data(),
                                       bindings.size() * sizeof(Slot), &accessor, nullptr)))
    return;
  std::vector<Slot> slots(bindings.size());
  DBCOUNTITEM read = 0;
  HRESULT hr = S_OK;
  // Rows of many megabytes each are slow to convert under the sanitizers;
  // a few seconds of them say all there is to say.
  auto until = std::chrono::steady_clock::now() + std::chrono::seconds(2);
  while (hr == S_OK && read < kMaxRows && std::chrono::steady_clock::now() < until) {
    HROW rows[2];
    HROW* rowsPointer = rows;
    DBCOUNTITEM obtained = 0;
    hr = rowset->GetNextRows(DB_NULL_HCHAPTER, 0, 2, &obtained, &rowsPointer);
    for (DBCOUNTITEM r = 0; r < obtained && std::chrono::steady_clock::now() < until; ++r) {
      std::memset(slots.data(), 0, slots.size() * sizeof(Slot));
      if (SUCCEEDED(rowset->GetData(rows[r], accessor, reinterpret_cast<BYTE*>(slots.data()))))
        ReleaseValues(slots, bindings);
    }
    if (obtained) rowset->ReleaseRows(obtained, rows, nullptr, nullptr, nullptr);
    read += obtained;
  }
  accessors->ReleaseAccessor(accessor, nullptr);
}

bool NamesFiles(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  // ATTACH and VACUUM INTO write database files wherever the text says.
  return text.find("attach") != std::string::npos || text.find("vacuum") != std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Setup setup;
  FuzzInput in(data, size);
  bool updatable = in.Take<uint8_t>() & 1;
  std::u16string text = AnsiToOle(in.TakeRest());
  std::u16string terminated(text.c_str());  // the command text ends at a NUL
  std::string sql = OleToAnsi(terminated);
  if (NamesFiles(sql)) return 0;
  bool several = setup.counter.HoldsMoreThanOne(sql);
  auto session = FreshSession();
  auto command = NewCommand(session);
  if (FAILED(command->SetCommandText(DBGUID_DEFAULT, terminated.c_str()))) Fail("text refused");
  if (updatable) AskForUpdatableRows(command);
  setup.watchdog.Arm(command);
  ComPtr<IRowset> rowset;
  DBROWCOUNT affected = 0;
  HRESULT hr = command->Execute(nullptr, IID_IRowset, nullptr, &affected,
                                reinterpret_cast<IUnknown**>(&rowset));
  if (several && SUCCEEDED(hr)) Fail("text with several statements was executed");
  if (!several && hr == DB_E_MULTIPLESTATEMENTS) Fail("one statement was refused as several");
  if (rowset) ReadRows(rowset);
  setup.watchdog.Disarm();
  SetErrorInfo(0, nullptr);
  if (!setup.scratch.IsEmpty()) Fail("a command created a file");
  return 0;
}
