#include "TestFiles.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>
#include "PathUtf8.h"

namespace Orvane::Test {

Bytes Samples(std::size_t count, std::uint32_t seed) {
  std::mt19937 gen(seed);
  Bytes out(count);
  for (auto& b : out) b = static_cast<std::uint8_t>(gen());
  return out;
}

void PutU16(Bytes& out, std::size_t at, std::uint16_t v) {
  out[at] = static_cast<std::uint8_t>(v);
  out[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

void PutU32(Bytes& out, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

void AppendU16(Bytes& out, std::uint16_t v) {
  out.resize(out.size() + 2);
  PutU16(out, out.size() - 2, v);
}

void AppendU32(Bytes& out, std::uint32_t v) {
  out.resize(out.size() + 4);
  PutU32(out, out.size() - 4, v);
}

Bytes MakeHeader(const SoundSpec& s) {
  Bytes h;
  AppendU32(h, s.HeaderSize);
  AppendU32(h, static_cast<std::uint32_t>(s.Data.size()));
  Bytes name(16, 0);
  std::copy_n(s.Name.begin(), std::min<std::size_t>(s.Name.size(), 16), name.begin());
  h.insert(h.end(), name.begin(), name.end());
  AppendU16(h, s.SampleRate);
  h.push_back(s.BitsPerSample);
  h.push_back(s.NumChannels);
  AppendU32(h, s.Unknown);
  AppendU32(h, s.LoopStart);
  AppendU32(h, s.LoopEnd);
  return h;
}

Bytes MakeBank(const std::vector<SoundSpec>& sounds) {
  Bytes bank;
  AppendU32(bank, static_cast<std::uint32_t>(sounds.size()));
  std::uint32_t offset = 4 + 4 * static_cast<std::uint32_t>(sounds.size());
  for (const auto& s : sounds) {
    AppendU32(bank, offset);
    offset += 40 + static_cast<std::uint32_t>(s.Data.size());
  }
  for (const auto& s : sounds) {
    const Bytes h = MakeHeader(s);
    bank.insert(bank.end(), h.begin(), h.end());
    bank.insert(bank.end(), s.Data.begin(), s.Data.end());
  }
  return bank;
}

Bytes MakePackedBank(const std::vector<SoundSpec>& sounds) {
  Bytes bank, body;
  AppendU32(bank, static_cast<std::uint32_t>(sounds.size()));
  for (const auto& s : sounds) {
    AppendU32(bank, static_cast<std::uint32_t>(4 + 4 * sounds.size() + body.size()));
    for (const Bytes& part : {MakeHeader(s), Samples(s.HeaderSize - 40, 9), s.Data})
      body.insert(body.end(), part.begin(), part.end());
  }
  bank.insert(bank.end(), body.begin(), body.end());
  return bank;
}

WaveBuilder& WaveBuilder::Format(std::uint16_t channels, std::uint32_t rate, std::uint16_t bits,
                                 std::uint16_t tag) {
  Bytes body;
  AppendU16(body, tag);
  AppendU16(body, channels);
  AppendU32(body, rate);
  AppendU32(body, rate * channels * bits / 8);
  AppendU16(body, static_cast<std::uint16_t>(channels * bits / 8));
  AppendU16(body, bits);
  return Chunk("fmt ", body);
}

WaveBuilder& WaveBuilder::Extensible(std::uint16_t channels, std::uint32_t rate,
                                     std::uint16_t bits, std::uint16_t subTag) {
  Bytes body;
  AppendU16(body, 0xFFFE);
  AppendU16(body, channels);
  AppendU32(body, rate);
  AppendU32(body, rate * channels * bits / 8);
  AppendU16(body, static_cast<std::uint16_t>(channels * bits / 8));
  AppendU16(body, bits);
  AppendU16(body, 22);    // extension size
  AppendU16(body, bits);  // valid bits
  AppendU32(body, channels == 1 ? 0x4 : 0x3);
  AppendU16(body, subTag);
  const std::uint8_t tail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
  body.insert(body.end(), std::begin(tail), std::end(tail));
  return Chunk("fmt ", body);
}

WaveBuilder& WaveBuilder::Data(const Bytes& samples) { return Chunk("data", samples); }

WaveBuilder& WaveBuilder::Chunk(const std::string& id, const Bytes& body, bool pad) {
  RawChunk(id, static_cast<std::uint32_t>(body.size()), body);
  if (pad && body.size() % 2 == 1) chunks_.push_back(0);
  return *this;
}

WaveBuilder& WaveBuilder::RawChunk(const std::string& id, std::uint32_t declared,
                                   const Bytes& body) {
  if (id.size() != 4) throw std::invalid_argument("chunk ids have four characters");
  chunks_.insert(chunks_.end(), id.begin(), id.end());
  AppendU32(chunks_, declared);
  chunks_.insert(chunks_.end(), body.begin(), body.end());
  return *this;
}

Bytes WaveBuilder::Build() const {
  Bytes file = {'R', 'I', 'F', 'F'};
  AppendU32(file, static_cast<std::uint32_t>(4 + chunks_.size()));
  file.insert(file.end(), {'W', 'A', 'V', 'E'});
  file.insert(file.end(), chunks_.begin(), chunks_.end());
  return file;
}

Bytes MakeWave(const Bytes& samples, std::uint32_t rate, std::uint16_t bits,
               std::uint16_t channels) {
  return WaveBuilder().Format(channels, rate, bits).Data(samples).Build();
}

void WriteFile(const std::filesystem::path& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + PathToUtf8(path));
}

Bytes ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + PathToUtf8(path));
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TempDir::TempDir() {
  std::random_device random;
  const auto base = std::filesystem::temp_directory_path();
  for (;;) {
    path_ = base / ("orvane-test-" + std::to_string(random()));
    if (std::filesystem::create_directory(path_)) break;
  }
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, ignored);
  std::filesystem::remove_all(path_, ignored);
}

std::filesystem::path TempDir::operator/(const std::string& name) const { return path_ / Utf8ToPath(name); }

std::string NativePath(std::string path) {
  for (char& c : path)
    if (c == '/') c = static_cast<char>(std::filesystem::path::preferred_separator);
  return path;
}

void SetEnvironment(const char* name, const std::string& value) {
#if defined(_WIN32)
  _putenv_s(name, value.c_str());
#else
  setenv(name, value.c_str(), 1);
#endif
}

void UnsetEnvironment(const char* name) {
#if defined(_WIN32)
  _putenv_s(name, "");
#else
  unsetenv(name);
#endif
}

ScopedWorkingDirectory::ScopedWorkingDirectory(const std::filesystem::path& dir)
    : previous_(std::filesystem::current_path()) {
  std::filesystem::current_path(dir);
}

ScopedWorkingDirectory::~ScopedWorkingDirectory() {
  std::error_code ignored;
  std::filesystem::current_path(previous_, ignored);
}

}  // namespace Orvane::Test
