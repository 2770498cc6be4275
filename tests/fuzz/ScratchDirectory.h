// An empty private working directory for targets whose input can name
// files: relative names land here, and a target can check nothing was made.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

class ScratchDirectory {
 public:
  ScratchDirectory() {
    std::string pattern = (std::filesystem::temp_directory_path() / "ravezov-fuzz-XXXXXX").string();
    if (!mkdtemp(pattern.data())) std::abort();
    m_path = pattern;
    std::filesystem::current_path(m_path);
  }
  ~ScratchDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
  }
  ScratchDirectory(const ScratchDirectory&) = delete;
  ScratchDirectory& operator=(const ScratchDirectory&) = delete;

  bool IsEmpty() const { return std::filesystem::is_empty(m_path); }
  void Empty() const {
    for (const auto& entry : std::filesystem::directory_iterator(m_path))
      std::filesystem::remove_all(entry.path());
  }

 private:
  std::filesystem::path m_path;
};
