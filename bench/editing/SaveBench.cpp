// orvane_bench_save BANK INDEX FILE OUT: loads BANK, replaces sound INDEX with FILE (converted
// to the sound's format) and saves the edited bank as OUT, printing how many milliseconds the
// save alone took: the figure bench/editing/save.sh sets beside a copy of the file.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "SoundEditor.h"
#include "SoundReplacement.h"

namespace {

int Failed(const char* what, const Orvane::Status& status) {
  std::fprintf(stderr, "orvane_bench_save: %s: %s\n", what, status.message().c_str());
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fprintf(stderr, "usage: orvane_bench_save BANK INDEX FILE OUT\n");
    return 2;
  }
  char* end = nullptr;
  const unsigned long index = std::strtoul(argv[2], &end, 10);
  if (end == argv[2] || *end != 0 || index > 0xFFFFFFFFul) {
    std::fprintf(stderr, "orvane_bench_save: INDEX must be a sound's number, not '%s'\n", argv[2]);
    return 2;
  }
  Orvane::CSoundEditor editor;
  if (auto loaded = editor.LoadBank(argv[1]); !loaded) return Failed("load", loaded);
  if (auto replaced = ReplaceSound(editor, static_cast<std::uint32_t>(index), argv[3], Orvane::ReplaceFormat::SoundsOwn,
                                     [](const Orvane::Report&) {}); !replaced)
    return Failed("replace", replaced.status());
  const auto start = std::chrono::steady_clock::now();
  const Orvane::Status saved = editor.Save(argv[4]);
  const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
  if (!saved) return Failed("save", saved);
  std::printf("%.3f\n", took.count());
  return 0;
}
