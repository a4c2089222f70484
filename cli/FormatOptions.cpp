#include "FormatOptions.h"

namespace Orvane::Cli {

FormatRequest FormatOptions::Request() const {
  FormatRequest request;
  if (Rate) request.SampleRate = StoredSampleRate(*Rate).value();
  if (Bits) request.BitsPerSample = static_cast<std::uint8_t>(*Bits);
  if (Channels) request.NumChannels = static_cast<std::uint8_t>(*Channels);
  return request;
}

std::vector<CLI::Option*> AddFormatOptions(CLI::App& command, FormatOptions& options) {
  const auto rateCheck = [](const std::string& text) -> std::string {
    double hz = 0;
    try {
      std::size_t used = 0;
      hz = std::stod(text, &used);
      if (used != text.size()) return "the rate must be a number of hertz, e.g. 22050";
    } catch (const std::exception&) {
      return "the rate must be a number of hertz, e.g. 22050";
    }
    auto stored = StoredSampleRate(hz);
    return stored ? std::string() : stored.message();
  };
  return {
      command.add_option("--rate", options.Rate, "Sample rate in Hz (a half hertz allowed)")
          ->check(rateCheck),
      command.add_option("--bits", options.Bits, "Bits per sample: 8, 16, 24 or 32")
          ->check(CLI::IsMember({8u, 16u, 24u, 32u})),
      command.add_option("--channels", options.Channels, "Channel count, 1 to 255")
          ->check(CLI::Range(1u, 255u)),
  };
}

}  // namespace Orvane::Cli
