// A sound's sample peak and loudness: peaks exact at every depth, silence, and loudness that
// agrees with ffmpeg's ebur128 filter on noise, a tone and speech at the rates banks use.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <numbers>
#include <string>

#include "ByteOrder.h"
#include "Loudness.h"
#include "PathUtf8.h"
#include "TestFiles.h"
#include "Tools.h"

namespace Orvane::Audio {
namespace {

using Test::Bytes;

Levels Measure(const Bytes& samples, const PcmFormat& format) {
  auto levels = MeasurePcm(samples, format);
  EXPECT_TRUE(levels) << levels.message();
  return levels ? *levels : Levels{};
}

// Each case's largest magnitude sits among smaller ones and ones of the other sign, so a
// depth decoded with the wrong offset, sign or scale misses it.
TEST(Levels, SamplePeaksAreExactAtEveryDepth) {
  const struct { unsigned bits, channels; Bytes samples; double largest; } cases[] = {
      {8, 1, {128, 150, 100, 140}, 28 / 128.0},
      {8, 1, {255, 0, 128}, 1.0},  // 0 is full scale below the middle
      {16, 1, {0x10, 0x27, 0xC7, 0xCF, 0x05, 0x00}, 12345 / 32768.0},  // 10000, -12345, 5
      {16, 2, {0x00, 0x80, 0x01, 0x00}, 1.0},                          // -32768 in channel 0
      {24, 2, {0x00, 0x01, 0x00, 0xAA, 0xCB, 0xED}, 0x123456 / 8388608.0},  // 256, -0x123456
      {32, 1, {0, 0, 0, 0x40, 0x01, 0, 0, 0xA0}, 0x5FFFFFFF / 2147483648.0},
  };
  for (const auto& c : cases) {
    const Levels levels = Measure(c.samples, {22050, c.bits, c.channels});
    EXPECT_NEAR(levels.PeakDbfs, 20 * std::log10(c.largest), 1e-6) << c.bits << "-bit";
  }
}

TEST(Levels, AllZeroSamplesAreSilentAtEveryDepthAndLength) {
  for (const unsigned bits : kPcmDepths)
    for (const std::size_t frames : {100u, 22050u}) {  // ungated, then gated
      const Levels levels = Measure(Bytes(frames * bits / 8, bits == 8 ? 128 : 0), {22050, bits, 1});
      EXPECT_TRUE(std::isinf(levels.PeakDbfs) && levels.PeakDbfs < 0) << bits << ' ' << frames;
      EXPECT_TRUE(std::isinf(levels.LoudnessLufs) && levels.LoudnessLufs < 0) << bits << ' ' << frames;
      EXPECT_TRUE(levels.Silent());
    }
}

// Too short for a gating block: the loudness of the whole tone, which a steady sine of half
// full scale has at -9.0 LUFS (-3.0 at full scale, less 6.0 dB).
TEST(Levels, SoundsShorterThanAGatingBlockAreMeasuredWhole) {
  for (const double seconds : {0.1, 0.35}) {
    const auto frames = static_cast<std::size_t>(22050 * seconds);
    Bytes samples(2 * frames);
    for (std::size_t i = 0; i < frames; ++i)
      StoreU16(&samples[2 * i], static_cast<std::uint16_t>(static_cast<std::int16_t>(
                                    std::lround(16384 * std::sin(2 * std::numbers::pi * 997 * i / 22050)))));
    EXPECT_NEAR(Measure(samples, {22050, 16, 1}).LoudnessLufs, -9.0, 0.2) << seconds << " s";
  }
}

// The integrated loudness in the filter's closing summary.
double FfmpegLufs(const std::filesystem::path& file) {
  const std::string log =
      Orvane::Test::ShellOutput("ffmpeg -nostats -hide_banner -i '" + Orvane::Test::ShellPath(file) +
                                "' -filter_complex ebur128 -f null - 2>&1");
  const auto summary = log.rfind("Summary:");
  const auto at = log.find("I:", summary == std::string::npos ? log.size() : summary);
  EXPECT_NE(at, std::string::npos) << log;
  return at == std::string::npos ? NAN : std::strtod(log.c_str() + at + 2, nullptr);
}

// A WAVE file's samples, from its data chunk.
Bytes DataOf(const Bytes& wave) {
  for (std::size_t at = 12; at + 8 <= wave.size();) {
    const std::uint32_t size = LoadU32(&wave[at + 4]);
    if (std::string(wave.begin() + at, wave.begin() + at + 4) == "data")
      return Bytes(wave.begin() + at + 8, wave.begin() + at + 8 + std::min<std::size_t>(size, wave.size() - at - 8));
    at += 8 + size + size % 2;
  }
  ADD_FAILURE() << "no data chunk";
  return {};
}

TEST(Levels, LoudnessAgreesWithFfmpegOnNoiseAToneAndSpeech) {
  const Orvane::Test::TempDir dir;
  const auto speech = dir / "speech.wav";
  ASSERT_EQ(Orvane::Test::RunShell("espeak-ng -w '" + Orvane::Test::ShellPath(speech) +
                                   "' 'Every sound of the bank keeps its place and its name.'"), 0)
      << "espeak-ng";
  const struct { std::string sox; unsigned channels; } sounds[] = {
      {"synth 3 pinknoise vol 0.5", 1}, {"synth 2 sine 440 vol 0.3", 1}, {"speech", 1},
      {"synth 3 pinknoise vol 0.5", 2},  // the channels' powers add up
  };
  for (const std::uint32_t rate : {11025u, 22050u, 44100u})
    for (const auto& sound : sounds) {
      const auto file = dir / "sound.wav";
      const bool spoken = sound.sox == "speech";
      const std::string command =
          (spoken ? "sox -R '" + Orvane::Test::ShellPath(speech) + "'" : std::string("sox -R -n")) +
          " -r " + std::to_string(rate) + " -c " + std::to_string(sound.channels) + " -b 16 '" +
          Orvane::Test::ShellPath(file) + "' " + (spoken ? "" : sound.sox) + " 2>/dev/null";
      ASSERT_EQ(Orvane::Test::RunShell(command), 0) << command;
      const Bytes samples = DataOf(Orvane::Test::ReadFile(file));
      ASSERT_GE(samples.size(), 2u * sound.channels * rate) << "a second or more";
      const PcmFormat format{static_cast<double>(rate), 16, sound.channels};
      EXPECT_NEAR(Measure(samples, format).LoudnessLufs, FfmpegLufs(file), 0.5)
          << sound.sox << " in " << sound.channels << " channels at " << rate << " Hz";
    }
}

}  // namespace
}  // namespace Orvane::Audio
