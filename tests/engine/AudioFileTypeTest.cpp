// What the pre-check lets through to a decoder, and what it stops before any decoder sees it.
#include <gtest/gtest.h>

#include <optional>

#include "AudioFileType.h"
#include "TestFiles.h"

namespace Orvane {
namespace tf = Orvane::Test;
namespace {

using Audio::Container;
using tf::Bytes;
using tf::WaveBuilder;

Bytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }

Bytes Concat(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// A big-endian IFF chunk.
Bytes IffChunk(const std::string& id, const Bytes& body) {
  Bytes out = Text(id);
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(body.size() >> shift));
  return Concat(out, body);
}

Bytes Aiff(const std::string& form, const std::string& compression) {
  Bytes comm = {0, 1, 0, 0, 0, 10, 0, 16, 0x40, 0x0D, 0xAC, 0x44, 0, 0, 0, 0, 0, 0};
  if (form == "AIFC") comm = Concat(comm, Text(compression));
  Bytes body = Concat(Text(form), IffChunk("COMM", comm));
  return IffChunk("FORM", body);
}

Bytes OggPage(const std::string& packet) {
  Bytes page = Text("OggS");
  page.resize(26, 0);
  page.push_back(1);  // one segment
  page.push_back(static_cast<std::uint8_t>(packet.size()));
  return Concat(page, Text(packet));
}

Bytes Wave64(std::uint16_t tag, std::uint16_t bits) {
  const Bytes riff = {0x72, 0x69, 0x66, 0x66, 0x2E, 0x91, 0xCF, 0x11, 0xA5, 0xD6, 0x28, 0xDB, 0x04, 0xC1, 0x00, 0x00};
  const Bytes wave = {0x77, 0x61, 0x76, 0x65, 0xF3, 0xAC, 0xD3, 0x11, 0x8C, 0xD1, 0x00, 0xC0, 0x4F, 0x8E, 0xDB, 0x8A};
  Bytes fmt = {0x66, 0x6D, 0x74, 0x20, 0xF3, 0xAC, 0xD3, 0x11, 0x8C, 0xD1, 0x00, 0xC0, 0x4F, 0x8E, 0xDB, 0x8A};
  tf::AppendU32(fmt, 24 + 16);
  tf::AppendU32(fmt, 0);
  const Bytes body = WaveBuilder().Format(1, 44100, bits, tag).Build();  // its fmt body at 20
  fmt.insert(fmt.end(), body.begin() + 20, body.begin() + 36);
  Bytes file = riff;
  tf::AppendU32(file, 0);
  tf::AppendU32(file, 0);
  return Concat(Concat(file, wave), fmt);
}

const Bytes kMp3Frame = {0xFF, 0xFB, 0x90, 0x64, 0, 0, 0, 0};
const Bytes kId3 = {'I', 'D', '3', 4, 0, 0, 0, 0, 0, 5, 1, 2, 3, 4, 5};

TEST(AudioFileType, LetsThroughOnlyTheListedContainersAndEncodings) {
  const struct {
    const char* what;
    Bytes file;
    std::optional<Container> expected;  // nullopt: refused
    ErrorKind refusal = ErrorKind::Unsupported;
  } cases[] = {
      {"PCM WAVE", tf::MakeWave(Bytes(8), 44100, 24), Container::Wave},
      {"float WAVE", WaveBuilder().Format(2, 48000, 32, 3).Data(Bytes(8)).Build(), Container::Wave},
      {"extensible float", WaveBuilder().Extensible(1, 48000, 32, 3).Data(Bytes(8)).Build(), Container::Wave},
      {"IMA ADPCM WAVE", WaveBuilder().Format(1, 22050, 4, 0x11).Data(Bytes(8)).Build(), std::nullopt},
      {"12-bit PCM WAVE", WaveBuilder().Format(1, 22050, 12).Data(Bytes(8)).Build(), std::nullopt},
      {"RF64", [] { Bytes b = tf::MakeWave(Bytes(8)); std::copy_n("RF64", 4, b.begin()); return b; }(), Container::Rf64},
      {"RIFF but not WAVE", Concat(Text("RIFF\4\0\0\0AVI "), Bytes(8)), std::nullopt, ErrorKind::Damaged},
      {"Wave64 PCM", Wave64(1, 16), Container::Wave64},
      {"Wave64 ADPCM", Wave64(2, 4), std::nullopt},
      {"AIFF", Aiff("AIFF", ""), Container::Aiff},
      {"AIFC sowt", Aiff("AIFC", "sowt"), Container::Aiff},
      {"AIFC ima4", Aiff("AIFC", "ima4"), std::nullopt},
      {"FLAC", Text("fLaC\0\0\0\x22"), Container::Flac},
      {"FLAC behind ID3", Concat(kId3, Text("fLaC")), Container::Flac},
      {"Ogg Vorbis", OggPage(std::string("\x01vorbis\0\0\0\0", 11)), Container::OggVorbis},
      {"Ogg Opus", OggPage("OpusHead"), Container::OggOpus},
      {"Ogg FLAC", OggPage(std::string("\x7F""FLAC\x01\x00\x00\x01""fLaC", 13)), std::nullopt},
      {"MP3 frame", kMp3Frame, Container::Mp3},
      {"MP3 behind ID3", Concat(kId3, kMp3Frame), Container::Mp3},
      {"MPEG Layer II", {0xFF, 0xFD, 0x90, 0x64}, std::nullopt},
      {"ID3 and nothing", kId3, std::nullopt},
      {"text", Text("hello, this is not a sound"), std::nullopt},
      {"three bytes", Text("fLa"), std::nullopt, ErrorKind::Damaged},
  };
  for (const auto& c : cases) {
    MemorySource source(c.file);
    auto found = IdentifyAudioFile(source);
    if (c.expected) {
      ASSERT_TRUE(found) << c.what << ": " << found.message();
      EXPECT_EQ(found->Container, *c.expected) << c.what;
    } else {
      EXPECT_EQ(found.kind(), c.refusal) << c.what;
    }
  }
}

}  // namespace
}  // namespace Orvane
