#include "FuzzSupport.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include "PathUtf8.h"

namespace Orvane::Fuzz {
namespace {

// The folder a run works in. libFuzzer ends a timed run without destructors, so scripts/fuzz
// names one in ORVANE_FUZZ_SCRATCH and removes it afterwards.
fs::path ScratchBase() {
  if (const char* given = std::getenv("ORVANE_FUZZ_SCRATCH"); given != nullptr && *given != 0)
    return given;
  std::error_code ec;
  const fs::path memory = "/dev/shm";
  return fs::is_directory(memory, ec) ? memory : fs::temp_directory_path();
}

// The process's own folder, removed when the process ends normally.
class ProcessFolder {
 public:
  ProcessFolder() : path_(ScratchBase() / ("orvane-fuzz-" + std::to_string(::getpid()))) {}
  ~ProcessFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  const fs::path& Path() const { return path_; }

 private:
  fs::path path_;
};

}  // namespace

fs::path ScratchFolder(const std::string& name) {
  static const ProcessFolder process;
  const fs::path folder = process.Path() / name;
  std::error_code ignored;
  fs::remove_all(folder, ignored);
  fs::create_directories(folder);
  return folder;
}

void EmptyFolder(const fs::path& folder) {
  for (const auto& entry : fs::directory_iterator(folder)) fs::remove_all(entry.path());
}

void WriteBytes(const fs::path& file, std::span<const std::uint8_t> bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) Fail("cannot write the scratch file " + PathToUtf8(file));
}

Bytes ReadBytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) Fail("cannot read " + PathToUtf8(file));
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

MarkedParts SplitAt(std::span<const std::uint8_t> input, std::string_view marker) {
  const auto bytes = std::span(reinterpret_cast<const std::uint8_t*>(marker.data()), marker.size());
  const auto at = std::search(input.begin(), input.end(), bytes.begin(), bytes.end());
  const auto before = static_cast<std::size_t>(at - input.begin());
  if (at == input.end()) return {input, std::nullopt};
  return {input.first(before), input.subspan(before + marker.size())};
}

void Fail(const std::string& what) {
  std::fprintf(stderr, "fuzz check failed: %s\n", what.c_str());
  std::abort();
}

}  // namespace Orvane::Fuzz
