// orvane-make-bench-bank: writes the synthetic banks that the bench/ scripts time, so they
// need nothing but the programs built here.
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
  std::uint32_t varyEvery = 0;
  app.add_option("BANK", bank, "The bank file to write")->required();
  app.add_option("--sounds", sounds, "Number of sounds")
      ->capture_default_str()
      ->check(CLI::Range(1u, 0x3FFFFFFFu));
  app.add_option("--size", size, "Sample bytes per sound, an even number")
      ->capture_default_str()
      ->check(CLI::Range(0u, 0x7FFFFFFEu));
  app.add_option("--vary-every", varyEvery,
                 "Invert the samples of sounds 0, N, 2N..., to make a bank that differs from "
                 "the plain one in those sounds only")
      ->check(CLI::Range(1u, 0xFFFFFFFFu));
  CLI11_PARSE(app, argc, argv);
  if (size % 2 != 0) {
    std::cerr << "orvane-make-bench-bank: --size " << size
              << " is odd; 16-bit samples take two bytes each\n";
    return 2;
  }
  if (const Orvane::Status written = Orvane::Bench::WriteBenchBank(bank, sounds, size, varyEvery); !written) {
    std::cerr << "orvane-make-bench-bank: " << written.message() << '\n';
    return 1;
  }
  return 0;
}
