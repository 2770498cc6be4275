// Build-time tool: make_sample_db <script.sql> <output.db>
// Creates a fresh SQLite database and runs the whole script in one
// transaction, with foreign keys enforced so the sample data stays consistent.
// On any failure it prints SQLite's message, removes the partial output (so the
// build does not mistake it for an up-to-date result) and exits non-zero.
#include <sqlite3.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>

namespace {

struct ConnectionCloser {
  void operator()(sqlite3* db) const { sqlite3_close(db); }
};
using Connection = std::unique_ptr<sqlite3, ConnectionCloser>;

std::optional<std::string> readFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in)
    return std::nullopt;
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

bool execute(sqlite3* db, const std::string& sql, const char* what) {
  char* message = nullptr;
  if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message) == SQLITE_OK)
    return true;
  std::cerr << "make_sample_db: " << what << ": "
            << (message ? message : sqlite3_errmsg(db)) << '\n';
  sqlite3_free(message);
  return false;
}

bool build(const std::string& script, const std::filesystem::path& output) {
  sqlite3* raw = nullptr;
  const int rc = sqlite3_open_v2(output.string().c_str(), &raw,
                                 SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
  Connection db(raw);
  if (rc != SQLITE_OK) {
    std::cerr << "make_sample_db: cannot create " << output << ": "
              << (raw ? sqlite3_errmsg(raw) : sqlite3_errstr(rc)) << '\n';
    return false;
  }
  // Foreign keys can only be switched on outside a transaction.
  if (!execute(db.get(), "PRAGMA foreign_keys = ON;", "enabling foreign keys") ||
      !execute(db.get(), "BEGIN;", "starting transaction"))
    return false;
  if (!execute(db.get(), script, "script")) {
    execute(db.get(), "ROLLBACK;", "rolling back");
    return false;
  }
  return execute(db.get(), "COMMIT;", "committing");
}

} // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: make_sample_db <script.sql> <output.db>\n";
    return 2;
  }
  const std::filesystem::path scriptPath = argv[1];
  const std::filesystem::path output = argv[2];
  const auto script = readFile(scriptPath);
  if (!script) {
    std::cerr << "make_sample_db: cannot read " << scriptPath << '\n';
    return 1;
  }
  std::error_code ignored;
  std::filesystem::remove(output, ignored);
  if (!build(*script, output)) {
    std::filesystem::remove(output, ignored);
    return 1;
  }
  return 0;
}
