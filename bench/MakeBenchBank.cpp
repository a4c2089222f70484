// orvane-make-bench-bank: writes the synthetic bank that bench/compare.sh times, so the
// comparison needs nothing but the programs built here.
#include <CLI/CLI.hpp>
#include <cstdint>
#include <iostream>

#include "BenchBank.h"

int main(int argc, char** argv) {
  CLI::App app("Writes a bank of N sounds of S sample bytes each (22,050 Hz, 16-bit, mono, "
               "named snd00000, snd00001, ...), the same bytes on every run.",
               "orvane-make-bench-bank");
  std::string bank;
  std::uint32_t sounds = 5000;
  std::uint32_t size = 40960;
  app.add_option("BANK", bank, "The bank file to write")->required();
  app.add_option("--sounds", sounds, "Number of sounds")
      ->capture_default_str()
      ->check(CLI::Range(1u, 0x3FFFFFFFu));
  app.add_option("--size", size, "Sample bytes per sound, an even number")
      ->capture_default_str()
      ->check(CLI::Range(0u, 0x7FFFFFFEu));
  CLI11_PARSE(app, argc, argv);
  if (size % 2 != 0) {
    std::cerr << "orvane-make-bench-bank: --size " << size
              << " is odd; 16-bit samples take two bytes each\n";
    return 2;
  }
  if (const Orvane::Status written = Orvane::Bench::WriteBenchBank(bank, sounds, size); !written) {
    std::cerr << "orvane-make-bench-bank: " << written.message() << '\n';
    return 1;
  }
  return 0;
}
