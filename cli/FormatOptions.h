#pragma once
// --rate, --bits and --channels: the sound format asked for by convert and create (and the
// editing commands that bring in new samples).
#include <CLI/CLI.hpp>
#include <optional>

#include "SoundImport.h"

namespace Orvane::Cli {

struct FormatOptions {
  std::optional<double> RateHz;
  std::optional<unsigned> Bits;
  std::optional<unsigned> Channels;

  // Valid once parsing passed: every value was checked by the options' own validators.
  FormatRequest Request() const;
};

// Adds the three options to `command`, each refusing at parsing (a usage error) what a bank
// cannot hold; answers them so that a caller can tie them to another option.
std::vector<CLI::Option*> AddFormatOptions(CLI::App& command, FormatOptions& options);

}  // namespace Orvane::Cli
