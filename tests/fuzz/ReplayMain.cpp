// Runs a fuzz target over saved inputs without libFuzzer, so any compiler
// builds it and the normal suite replays every corpus: each argument is a
// file or a directory of files, run in name order.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

std::vector<std::filesystem::path> Inputs(const std::filesystem::path& path) {
  std::vector<std::filesystem::path> files;
  if (std::filesystem::is_directory(path)) {
    for (const auto& entry : std::filesystem::directory_iterator(path))
      if (entry.is_regular_file()) files.push_back(entry.path());
    std::sort(files.begin(), files.end());
  } else {
    files.push_back(path);
  }
  return files;
}

bool Run(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "cannot read %s\n", file.c_str());
    return false;
  }
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  // A copy of exactly the input's size, so reading past it is caught.
  std::vector<uint8_t> exact(bytes.begin(), bytes.end());
  LLVMFuzzerTestOneInput(exact.data(), exact.size());
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  // Targets may change the working directory, so every input is listed first.
  std::vector<std::filesystem::path> files;
  for (int i = 1; i < argc; ++i) {
    auto found = Inputs(std::filesystem::absolute(argv[i]));
    files.insert(files.end(), found.begin(), found.end());
  }
  for (const auto& file : files)
    if (!Run(file)) return 1;
  std::printf("replayed %zu inputs\n", files.size());
  return files.empty() ? 1 : 0;
}
