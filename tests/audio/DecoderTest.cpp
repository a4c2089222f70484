#include <gtest/gtest.h>
#if !defined(_WIN32)
#include <sys/wait.h>
#endif

#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <map>
#include <thread>

#include "Decoder.h"
#include "Decoders.h"
#include "PathUtf8.h"
#include "TestFiles.h"
#include "Tools.h"

namespace Orvane::Audio {
namespace {

namespace fs = std::filesystem;
namespace tf = Orvane::Test;
using namespace std::chrono_literals;

// Test sounds are made with sox and ffmpeg, once per test program. A missing tool fails.
const fs::path& Made(const std::string& name) {
  static const tf::TempDir dir;
  static std::map<std::string, fs::path> made;
  static const std::map<std::string, std::string> recipes = {
      {"sine.wav", "sox -n -r 44100 -c 2 -b 16 OUT synth 1 sine 440 vol 0.5"},
      {"u8.wav", "sox SINE -r 22050 -c 1 -b 8 -e unsigned OUT"},
      {"s24.wav", "sox SINE -b 24 OUT"},
      {"float.wav", "sox SINE -e floating-point -b 32 OUT"},
      {"ulaw.wav", "sox SINE -e u-law OUT"},
      {"sine.aiff", "sox SINE OUT"},
      {"sine.w64", "sox SINE -t w64 OUT"},
      {"rf64.wav", "ffmpeg -loglevel error -i SINE -rf64 always OUT"},
      {"s24.flac", "sox SINE -b 24 OUT"},
      {"sine.ogg", "ffmpeg -loglevel error -i SINE -c:a libvorbis OUT"},
      {"sine.opus", "ffmpeg -loglevel error -i SINE -c:a libopus OUT"},
      {"cbr.mp3", "ffmpeg -loglevel error -i SINE -c:a libmp3lame -b:a 128k OUT"},
      // Loud then almost silent: the first frames promise a shorter file than there is.
      {"vbr.mp3", "sox -n -r 44100 -c 2 -t wav - synth 1 whitenoise vol 0.5 : synth 4 sine 440 vol 0.001 | "
                  "ffmpeg -loglevel error -i - -c:a libmp3lame -q:a 4 -write_xing 0 OUT"},
  };
  if (auto found = made.find(name); found != made.end()) return found->second;
  std::string command = recipes.at(name);
  if (auto at = command.find("SINE"); at != std::string::npos) command.replace(at, 4, tf::ShellPath(Made("sine.wav")));
  const fs::path out = dir / name;
  command.replace(command.find("OUT"), 3, tf::ShellPath(out));
  EXPECT_EQ(tf::RunShell("(" + command + ") >/dev/null 2>&1"), 0) << command;
  return made[name] = out;
}

struct Decoded {
  SourceInfo Info;
  std::vector<float> Samples;
};

Result<Decoded> DecodeAll(Result<std::unique_ptr<FloatSource>> opened) {
  if (!opened) return opened.status();
  Decoded all{(*opened)->Info(), {}};
  // An odd size, so that reads end inside the isolated decoder's blocks.
  std::vector<float> buffer(999 * all.Info.Channels);
  for (;;) {
    auto frames = (*opened)->Read(buffer);
    if (!frames) return frames.status();
    if (*frames == 0) return all;
    all.Samples.insert(all.Samples.end(), buffer.begin(),
                       buffer.begin() + *frames * all.Info.Channels);
  }
}

float Peak(const std::vector<float>& samples) {
  float peak = 0;
  for (const float s : samples) peak = std::max(peak, std::abs(s));
  return peak;
}

TEST(Decoder, EachContainerDecodesAtItsRateToItsWholeLength) {
  const struct {
    const char* file;
    Container container;
    double rate;
    unsigned channels, bits;
    const char* encoding;
    std::size_t frames, slack;
  } cases[] = {
      {"sine.wav", Container::Wave, 44100, 2, 16, "16-bit", 44100, 0},
      {"u8.wav", Container::Wave, 22050, 1, 8, "8-bit", 22050, 0},
      {"s24.wav", Container::Wave, 44100, 2, 24, "24-bit", 44100, 0},
      {"float.wav", Container::Wave, 44100, 2, 32, "32-bit float", 44100, 0},
      {"sine.aiff", Container::Aiff, 44100, 2, 16, "16-bit", 44100, 0},
      {"sine.w64", Container::Wave64, 44100, 2, 16, "16-bit", 44100, 0},
      {"rf64.wav", Container::Rf64, 44100, 2, 16, "16-bit", 44100, 0},
      {"s24.flac", Container::Flac, 44100, 2, 24, "24-bit", 44100, 0},
      {"sine.ogg", Container::OggVorbis, 44100, 2, 32, "Vorbis", 44100, 100},
      {"sine.opus", Container::OggOpus, 48000, 2, 32, "Opus", 48000, 1000},
      {"cbr.mp3", Container::Mp3, 44100, 2, 32, "MP3", 44100, 1200},
      {"vbr.mp3", Container::Mp3, 44100, 2, 32, "MP3", 220500, 2400},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    auto here = DecodeAll(OpenDecoder(Made(c.file), c.container));
    ASSERT_TRUE(here) << here.message();
    EXPECT_EQ(here->Info.RateHz, c.rate);
    EXPECT_EQ(here->Info.Channels, c.channels);
    EXPECT_EQ(here->Info.Bits, c.bits);
    EXPECT_EQ(here->Info.Encoding, c.encoding);
    EXPECT_NEAR(here->Samples.size() / c.channels, c.frames, c.slack);
    // Integer samples arrive scaled to full scale 1, whatever their depth.
    if (std::string(c.file) != "vbr.mp3") {
      EXPECT_NEAR(Peak(here->Samples), 0.5, 0.06);
    }

    auto isolated = DecodeAll(OpenIsolatedDecoder(Made(c.file), c.container));
    ASSERT_TRUE(isolated) << isolated.message();
    EXPECT_EQ(isolated->Info.RateHz, here->Info.RateHz);
    EXPECT_EQ(isolated->Info.Encoding, here->Info.Encoding);
    EXPECT_TRUE(isolated->Samples == here->Samples);
  }
}

TEST(Decoder, RefusesWhatTheFileIsNot) {
  tf::TempDir dir;
  tf::WriteFile(dir / "noise", tf::Samples(100000));
  const struct {
    fs::path file;
    Container container;
    ErrorKind kind;
  } cases[] = {
      {Made("ulaw.wav"), Container::Wave, ErrorKind::Unsupported},
      {Made("s24.flac"), Container::Wave, ErrorKind::Unsupported},
      {Made("sine.ogg"), Container::OggOpus, ErrorKind::Unsupported},
      {dir / "noise", Container::Flac, ErrorKind::Damaged},
      {dir / "noise", Container::Mp3, ErrorKind::Damaged},
      {dir / "missing.wav", Container::Wave, ErrorKind::NotFound},
  };
  for (const auto& c : cases) {
    auto opened = OpenDecoder(c.file, c.container);
    ASSERT_FALSE(opened) << c.file;
    EXPECT_EQ(opened.kind(), c.kind) << c.file << ": " << opened.message();
  }
}

// Cut short or overwritten in the middle: a clear failure or a shorter sound, in time.
TEST(Decoder, DamagedFilesFailOrDecodeShorter) {
  tf::TempDir dir;
  const DecodeLimits limits{.Idle = 2000ms};
  const std::pair<const char*, Container> files[] = {
      {"sine.wav", Container::Wave}, {"s24.flac", Container::Flac}, {"sine.ogg", Container::OggVorbis},
      {"sine.opus", Container::OggOpus}, {"cbr.mp3", Container::Mp3}};
  for (const auto& [name, container] : files) {
    const tf::Bytes whole = tf::ReadFile(Made(name));
    tf::Bytes overwritten = whole;
    const tf::Bytes noise = tf::Samples(whole.size() / 3, 7);
    std::copy(noise.begin(), noise.end(), overwritten.begin() + whole.size() / 3);
    const tf::Bytes variants[] = {tf::Bytes(whole.begin(), whole.begin() + whole.size() * 3 / 5),
                                  tf::Bytes(whole.begin(), whole.begin() + 60), overwritten};
    const std::size_t wholeSamples = DecodeAll(OpenDecoder(Made(name), container))->Samples.size();
    for (const auto& bytes : variants) {
      SCOPED_TRACE(Str(name, ", ", bytes.size(), " bytes"));
      tf::WriteFile(dir / name, bytes);
      const auto start = std::chrono::steady_clock::now();
      auto decoded = DecodeAll(OpenIsolatedDecoder(dir / name, container, limits));
      EXPECT_LT(std::chrono::steady_clock::now() - start, 3s);
      if (decoded) {
        EXPECT_LE(decoded->Samples.size(), wholeSamples * 11 / 10);
      } else {
        EXPECT_EQ(decoded.kind(), ErrorKind::Damaged) << decoded.message();
      }
      // Only the libraries' own faults need the child; this code must hold up without one.
      if (container == Container::Wave || container == Container::Mp3)
        (void)DecodeAll(OpenDecoder(dir / name, container));
    }
  }
}

// On Windows a child is in a job that ends it with its parent: there is nothing to reap.
bool NoChildLeft() {
#if defined(_WIN32)
  return true;
#else
  return ::waitpid(-1, nullptr, WNOHANG) == -1 && errno == ECHILD;
#endif
}

// Decodes `name` with the decoder that misbehaves as the name says.
Result<Decoded> Misbehaving(const std::string& name, DecodeLimits limits = {}) {
  limits.Program = ORVANE_MISBEHAVING_DECODER;
  return DecodeAll(OpenIsolatedDecoder(name, Container::Wave, limits));
}

struct Misbehaviour {
  const char* name;
  ErrorKind kind;
  std::string says;
};

const DecodeLimits kTightLimits{.Idle = 1000ms, .ExtraMemory = 64 << 20, .CpuSeconds = 1, .MaxSamples = 1000000};

// The decoder that misbehaves as `c.name` says is stopped within its limits, and says how.
void ExpectStopped(const Misbehaviour& c, DecodeLimits limits = kTightLimits) {
  SCOPED_TRACE(c.name);
  const auto start = std::chrono::steady_clock::now();
  auto decoded = Misbehaving(c.name, limits);
  EXPECT_LT(std::chrono::steady_clock::now() - start, limits.Idle + 3s);
  ASSERT_FALSE(decoded);
  EXPECT_EQ(decoded.kind(), c.kind);
  EXPECT_NE(decoded.message().find(c.says), std::string::npos) << decoded.message();
  EXPECT_EQ(decoded.where().File, c.name);
  EXPECT_TRUE(NoChildLeft());
}

// Only the decoder's own answer can call a file damaged: a decoder that goes astray is the
// decoder's failure, and says how it went.
TEST(Decoder, AChildThatFailsIsReportedAsTheDecodersFailureQuicklyAndReaped) {
  const Misbehaviour cases[] = {
      {"crash-opening", ErrorKind::ChildFailed, "the decoder stopped: it crashed (signal or exception "},
      {"crash-partway", ErrorKind::ChildFailed, "the decoder stopped: it crashed"},
      {"hang", ErrorKind::ChildFailed, "the decoder stopped: it delivered nothing for 1 s"},
      {"exit-3", ErrorKind::ChildFailed, "the decoder stopped: it exited with status 3"},
      {"endless-sound", ErrorKind::TooLarge, "more than 1000000 samples"},
  };
  for (const auto& c : cases) ExpectStopped(c);
  // A decoder that is not there cannot start.
  auto missing = DecodeAll(OpenIsolatedDecoder("a.wav", Container::Wave, {.Program = "/nonexistent/decoder"}));
  ASSERT_FALSE(missing);
  EXPECT_EQ(missing.kind(), ErrorKind::ChildFailed);
  EXPECT_EQ(missing.message().rfind("the decoder stopped: ", 0), 0u) << missing.message();
}

TEST(Decoder, AChildPastItsProcessorTimeOrMemoryIsStoppedAndSaysWhich) {
  if (tf::UnderWine()) GTEST_SKIP() << "Wine does not enforce a job's processor-time and memory limits";
  DecodeLimits spinning = kTightLimits;
  spinning.Idle = 20000ms;  // long enough for the spin to run into its processor time on a busy machine
  ExpectStopped({"spin", ErrorKind::ChildFailed, "the decoder stopped: it used up its 1 s of processor time"},
                spinning);
#if !defined(__SANITIZE_ADDRESS__)  // it has no address-space limit: AddressSanitizer reserves terabytes
  ExpectStopped({"endless-allocation", ErrorKind::TooLarge,
                 "the decoder stopped: it ran out of its memory allowance (64 MiB)"});
#endif
}

// Every kind the child reports arrives as that kind, with its where; a number that is no kind
// is a fault of the decoder.
TEST(Decoder, EveryErrorKindCrossesFromTheChildWithItsWhereAndNothingElseDoes) {
  int kinds = 0;
  for (std::uint32_t value = 1; value < 40; ++value) {
    SCOPED_TRACE(value);
    auto opened = Misbehaving(Str("kind-", value));
    ASSERT_FALSE(opened);
    if (IsErrorKind(value)) {
      ++kinds;
      EXPECT_EQ(opened.kind(), static_cast<ErrorKind>(value));
      EXPECT_EQ(opened.message(), "told so");
      EXPECT_EQ(opened.where(), (Where{"told.wav", 3, 1234}));
    } else {
      EXPECT_EQ(opened.kind(), ErrorKind::ChildFailed) << opened.message();
    }
  }
  EXPECT_EQ(kinds, static_cast<int>(ErrorKind::ChildFailed)) << "every kind but None";
}

TEST(Decoder, AReaderClosedEarlyStopsItsChild) {
  const auto start = std::chrono::steady_clock::now();
  {
    auto source = OpenIsolatedDecoder("endless-sound", Container::Wave,
                                      {.Program = ORVANE_MISBEHAVING_DECODER});
    ASSERT_TRUE(source) << source.message();
    std::vector<float> buffer(1024);
    ASSERT_TRUE((*source)->Read(buffer));
  }
  EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
  EXPECT_TRUE(NoChildLeft());
}

}  // namespace
}  // namespace Orvane::Audio
