#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "ByteOrder.h"
#include "Converter.h"

namespace Orvane::Audio {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Hands out its samples at most `piece` frames a read, as a decoder may.
struct MemorySource : FloatSource {
  MemorySource(double rate, unsigned channels, unsigned bits, std::vector<float> samples,
               std::size_t piece = 100000)
      : info{rate, channels, bits, "test"}, samples(std::move(samples)), piece(piece) {}
  const SourceInfo& Info() const override { return info; }
  Result<std::size_t> Read(std::span<float> out) override {
    const auto frames = std::min({out.size(), piece * info.Channels, samples.size() - next}) /
                        info.Channels;
    std::copy_n(samples.begin() + next, frames * info.Channels, out.begin());
    next += frames * info.Channels;
    return frames;
  }
  SourceInfo info;
  std::vector<float> samples;
  std::size_t piece, next = 0;
};

struct Converted {
  Result<ConversionReport> report;
  Bytes bytes;
};

Converted ConvertAll(MemorySource source, PcmFormat target, std::uint64_t maxBytes = 1u << 30) {
  Bytes bytes;
  auto report = Convert(source, target, [&](std::span<const std::uint8_t> piece) {
    bytes.insert(bytes.end(), piece.begin(), piece.end());
    return Status::Ok();
  }, maxBytes);
  return {std::move(report), std::move(bytes)};
}

std::vector<float> Sine(double rate, std::size_t frames, double level = 0.5) {
  std::vector<float> s(frames);
  for (std::size_t i = 0; i < frames; ++i)
    s[i] = static_cast<float>(level * std::sin(2 * std::numbers::pi * 1000 * i / rate));
  return s;
}

int Sample16(const Bytes& b, std::size_t i) {
  return static_cast<std::int16_t>(LoadU16(&b[2 * i]));
}

// Without a change of rate, channels or precision nothing may be added: not even dither.
TEST(Converter, EachDepthWritesItsSourceExactlyWhenNothingChanges) {
  const struct { unsigned from, to; std::vector<float> samples; Bytes expected; } cases[] = {
      {8, 8, {0, 0, -1, 127 / 128.f}, {128, 128, 0, 255}},
      {16, 16, {-1, 0x1234 / 32768.f, -1 / 32768.f}, {0x00, 0x80, 0x34, 0x12, 0xFF, 0xFF}},
      {24, 24, {0x123456 / 8388608.f, -1}, {0x56, 0x34, 0x12, 0x00, 0x00, 0x80}},
      {32, 32, {0x12345600 / 2147483648.f, -1}, {0x00, 0x56, 0x34, 0x12, 0, 0, 0, 0x80}},
      {16, 24, {0x1234 / 32768.f}, {0x00, 0x34, 0x12}},  // widening needs no dither either
  };
  for (const auto& c : cases) {
    auto out = ConvertAll(MemorySource(22050, 1, c.from, c.samples), {22050, c.to, 1});
    ASSERT_TRUE(out.report) << c.to << ": " << out.report.message();
    EXPECT_EQ(out.bytes, c.expected) << c.to;
    EXPECT_FALSE(out.report->Dithered) << c.to;
  }
}

TEST(Converter, OvershootIsClippedAndCounted) {
  auto out = ConvertAll(MemorySource(22050, 1, 32, {1.5f, -2, 1, -1, 0.25f}), {22050, 16, 1});
  ASSERT_TRUE(out.report && out.report->Dithered);  // 32 bits to 16
  EXPECT_EQ(out.report->Clipped, 2u);               // full scale itself is not a clip
  EXPECT_EQ(Sample16(out.bytes, 0), 32767);
  EXPECT_EQ(Sample16(out.bytes, 1), -32768);
  EXPECT_EQ(Sample16(out.bytes, 2), 32767);
  EXPECT_NEAR(Sample16(out.bytes, 4), 8192, 1);
}

TEST(Converter, MixesToMonoAndSpreadsMono) {
  auto mixed = ConvertAll(MemorySource(22050, 2, 16, {0.5f, -0.25f, -1, -1}), {22050, 16, 1});
  ASSERT_TRUE(mixed.report && mixed.report->Mixed && mixed.report->Dithered);
  ASSERT_EQ(mixed.bytes.size(), 4u);
  EXPECT_NEAR(Sample16(mixed.bytes, 0), 4096, 1);
  EXPECT_NEAR(Sample16(mixed.bytes, 1), -32768, 1);
  auto ofThree = ConvertAll(MemorySource(22050, 3, 16, {0.5f, -0.25f, 0.5f}), {22050, 16, 1});
  EXPECT_NEAR(Sample16(ofThree.bytes, 0), 8192, 1);

  // Spread after resampling, every channel still carries the same sound.
  auto spread = ConvertAll(MemorySource(44100, 1, 16, Sine(44100, 4410)), {22050, 16, 3});
  ASSERT_TRUE(spread.report) << spread.report.message();
  ASSERT_EQ(spread.bytes.size() % 6, 0u);
  for (std::size_t i = 0; i < spread.bytes.size() / 2; i += 3)
    ASSERT_LE(std::abs(Sample16(spread.bytes, i) - Sample16(spread.bytes, i + 1)) +
                  std::abs(Sample16(spread.bytes, i) - Sample16(spread.bytes, i + 2)), 4) << i;

  auto refused = ConvertAll(MemorySource(22050, 3, 16, {0, 0, 0}), {22050, 16, 2});
  EXPECT_EQ(refused.report.kind(), ErrorKind::Unsupported) << refused.report.message();
}

TEST(Converter, ResamplesToTheExpectedLengthAndPitch) {
  const struct { double from, to; std::size_t frames; unsigned channels; } cases[] = {
      {44100, 11025.5, 100003, 2}, {22050, 32000, 4097, 1}, {48000, 22050, 7, 1}};
  for (const auto& c : cases) {
    const auto samples = Sine(c.from, c.frames * c.channels);
    auto out = ConvertAll(MemorySource(c.from, c.channels, 16, samples), {c.to, 16, c.channels});
    ASSERT_TRUE(out.report && out.report->Resampled && out.report->Dithered) << c.to;
    EXPECT_NEAR(out.report->Frames, std::round(c.frames * c.to / c.from), 2) << c.to;
  }
  // Pitch and level survive: a 1 kHz sine crosses zero 2,000 times a second, at -6 dBFS.
  auto out = ConvertAll(MemorySource(44100, 1, 16, Sine(44100, 44100), 777), {22050, 16, 1});
  std::size_t crossings = 0;
  double power = 0;
  for (std::size_t i = 1000; i < 21050; ++i) {
    crossings += (Sample16(out.bytes, i) < 0) != (Sample16(out.bytes, i + 1) < 0);
    power += std::pow(Sample16(out.bytes, i) / 32768.0, 2);
  }
  EXPECT_NEAR(crossings, 2000 * 20050 / 22050, 3);
  EXPECT_NEAR(10 * std::log10(power / 20050), 10 * std::log10(0.125), 0.05);
}

// Dither must not make the output depend on anything but the input, nor on how it is read.
TEST(Converter, SameInputGivesSameBytesHoweverItIsRead) {
  const auto sine = Sine(44100, 30000, 0.3);
  auto once = ConvertAll(MemorySource(44100, 2, 16, sine), {22050.5, 8, 1});
  auto again = ConvertAll(MemorySource(44100, 2, 16, sine, 333), {22050.5, 8, 1});
  ASSERT_TRUE(once.report && again.report);
  EXPECT_EQ(once.bytes, again.bytes);
}

TEST(Converter, RefusesNonFiniteSamplesAndImpossibleTargets) {
  for (const float bad : {NAN, -INFINITY}) {
    std::vector<float> samples(20000, 0.1f);
    samples[2 * 5000 + 1] = bad;
    auto out = ConvertAll(MemorySource(22050, 2, 16, samples, 4000), {22050, 16, 2});
    EXPECT_EQ(out.report.kind(), ErrorKind::Damaged);
    EXPECT_NE(out.report.message().find("frame 5000 "), std::string::npos) << out.report.message();
  }
  for (const PcmFormat target : {PcmFormat{22050, 12, 1}, PcmFormat{22050, 16, 0},
                                 PcmFormat{22050, 16, 256}, PcmFormat{0, 16, 1},
                                 PcmFormat{NAN, 16, 1}, PcmFormat{1e8, 16, 1}}) {
    auto out = ConvertAll(MemorySource(22050, 1, 16, {0}), target);
    ASSERT_FALSE(out.report) << target.RateHz;
    EXPECT_EQ(out.report.kind(), ErrorKind::Unsupported) << out.report.message();
  }
}

TEST(Converter, StopsBeforeTheSinkGetsMoreThanAllowed) {
  const std::vector<float> samples(20000, 0.1f);
  EXPECT_TRUE(ConvertAll(MemorySource(22050, 1, 16, samples), {22050, 16, 1}, 40000).report);
  auto over = ConvertAll(MemorySource(22050, 1, 16, samples), {22050, 16, 1}, 39999);
  EXPECT_EQ(over.report.kind(), ErrorKind::TooLarge);
  EXPECT_LE(over.bytes.size(), 39999u);
}

}  // namespace
}  // namespace Orvane::Audio
