#include "FormatOptions.h"

#include "Text.h"

namespace Orvane::Cli {

FormatRequest FormatOptions::Request() const {
  FormatRequest request;
  if (RateHz) request.SampleRate = StoredRateOfHz(*RateHz).value();
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
    auto stored = StoredRateOfHz(hz);
    return stored ? std::string() : stored.message();
  };
  return {
      command.add_option("--rate", options.RateHz, "Sample rate in Hz (a half hertz allowed)")
          ->check(rateCheck),
      command.add_option("--bits", options.Bits, Str("Bits per sample: ", Audio::PcmDepthsText()))
          ->check(CLI::IsMember(std::vector<unsigned>(Audio::kPcmDepths.begin(),
                                                      Audio::kPcmDepths.end()))),
      command.add_option("--channels", options.Channels, Str("Channel count, 1 to ", kMaxChannels))
          ->check(CLI::Range(1u, kMaxChannels)),
  };
}

}  // namespace Orvane::Cli
