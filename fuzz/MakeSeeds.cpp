// Writes the seed corpora of the fuzz targets: banks and WAVE files built with the tests'
// helpers, well-formed and damaged in the ways the engine has to survive.
//   orvane_fuzz_seeds CORPUS      writes CORPUS/bank, CORPUS/wave, CORPUS/create and CORPUS/edit
#include <cstdio>
#include <map>

#include "FuzzSupport.h"
#include "FuzzedEdits.h"
#include "FuzzedFiles.h"
#include "TestFiles.h"

namespace Orvane::Fuzz {
namespace {
namespace fs = std::filesystem;
using Test::Bytes;
using Test::Samples;
using Test::WaveBuilder;
using Seeds = std::map<std::string, Bytes>;

Seeds BankSeeds() {
  using Test::MakeBank;
  Seeds seeds;
  seeds["empty"] = {};
  seeds["three-bytes"] = {1, 0, 0};
  seeds["count-zero"] = {0, 0, 0, 0, 9, 9};
  seeds["one-sound"] = MakeBank({{.Name = "bell", .Data = Samples(100)}});
  seeds["two-sounds"] = MakeBank({{.Name = "first", .Data = Samples(100)},
                                  {.Name = "second", .Data = Samples(50, 2)}});
  seeds["names"] = MakeBank({{.Name = "ABCDEFGHIJKLMNOP", .Data = Samples(3)},
                             {.Name = "caf\xE9 \x81\x8D\x9D", .Data = {}},
                             {.Name = "../a/b\\c:d", .Data = Samples(1)},
                             {.Name = "tab\there\nline", .Data = Samples(2)},
                             {.Name = "q\"u,o;te", .Data = Samples(2)},
                             {.Name = "", .Data = Samples(4)}});
  seeds["formats"] = MakeBank({{.Name = "st8", .Data = Samples(64), .SampleRate = 22050,
                                .BitsPerSample = 8, .NumChannels = 2},
                               {.Name = "odd", .Data = Samples(9), .SampleRate = 44101,
                                .BitsPerSample = 24, .NumChannels = 6, .Unknown = 7,
                                .LoopStart = 1, .LoopEnd = 5},
                               {.Name = "zero", .Data = Samples(5), .SampleRate = 0,
                                .BitsPerSample = 0, .NumChannels = 0}});
  seeds["long-header"] = MakeBank({{.Name = "far", .Data = Samples(30), .HeaderSize = 48}});

  Bytes shuffled = MakeBank({{.Name = "a", .Data = Samples(10)}, {.Name = "b", .Data = Samples(20)},
                             {.Name = "c", .Data = Samples(30)}});
  Test::PutU32(shuffled, 4, 16 + 40 + 10);  // slot 0 names sound b
  Test::PutU32(shuffled, 12, 16);           // slot 2 names sound a
  seeds["shuffled-table"] = shuffled;

  Bytes repeated = MakeBank({{.Name = "same", .Data = Samples(10)}, {.Name = "x", .Data = {}}});
  Test::PutU32(repeated, 8, 12);
  seeds["repeated-slots"] = repeated;

  Bytes headerPast = MakeBank({{.Name = "ok", .Data = Samples(10)}, {.Name = "cut", .Data = {}}});
  headerPast.resize(headerPast.size() - 20);
  seeds["header-past-end"] = headerPast;

  Bytes dataPast = MakeBank({{.Name = "long", .Data = Samples(10)}});
  Test::PutU32(dataPast, 8 + 4, 0xFFFFFFFF);
  seeds["data-past-end"] = dataPast;

  Bytes tableTooLong = MakeBank({{.Name = "a", .Data = Samples(4)}});
  Test::PutU32(tableTooLong, 0, 0x40000000);
  seeds["table-past-end"] = tableTooLong;
  return seeds;
}

Seeds WaveSeeds() {
  using Test::MakeWave;
  Seeds seeds;
  seeds["canonical"] = MakeWave(Samples(64));
  seeds["empty-data"] = MakeWave({});
  seeds["stereo-8bit"] = MakeWave(Samples(33), 11025, 8, 2);
  seeds["other-chunks"] = WaveBuilder()
                              .Chunk("LIST", Bytes{'I', 'N', 'F', 'O', 'x'})
                              .Format(1, 22050, 16)
                              .Chunk("fact", Bytes(4, 1))
                              .Chunk("JUNK", Bytes(3))
                              .Data(Samples(21))
                              .Chunk("smpl", Bytes(36))
                              .Build();
  seeds["data-before-format"] = WaveBuilder().Data(Samples(8)).Format(2, 16000, 16).Build();
  seeds["unpadded-odd-chunk"] =
      WaveBuilder().Format(1, 22050, 8).Chunk("odd ", Bytes(5), false).Data(Samples(7)).Build();
  seeds["repeated-chunks"] = WaveBuilder()
                                 .Format(1, 22050, 16)
                                 .Format(2, 8000, 8)
                                 .Data(Samples(6))
                                 .Data(Samples(4, 2))
                                 .Build();
  seeds["extensible-pcm"] = WaveBuilder().Extensible(2, 22050, 16).Data(Samples(16)).Build();
  seeds["extensible-float"] = WaveBuilder().Extensible(1, 22050, 32, 3).Data(Samples(8)).Build();
  seeds["float"] = WaveBuilder().Format(1, 22050, 32, 3).Data(Samples(8)).Build();
  seeds["short-data"] = WaveBuilder().Format(1, 22050, 16).RawChunk("data", 1000, Samples(10)).Build();
  seeds["chunk-past-end"] =
      WaveBuilder().RawChunk("LIST", 500, Bytes(4)).Format(1, 22050, 16).Data({}).Build();
  seeds["rate-44100"] = MakeWave(Samples(4), 44100);
  seeds["channels-300"] = MakeWave(Samples(4), 22050, 16, 300);
  seeds["bits-256"] = MakeWave(Samples(4), 22050, 256);
  seeds["no-data"] = WaveBuilder().Format(1, 22050, 16).Build();
  seeds["no-format"] = WaveBuilder().Data(Samples(4)).Build();
  seeds["short-format"] = WaveBuilder().Chunk("fmt ", Bytes(12)).Data(Samples(4)).Build();
  Bytes notWave = MakeWave(Samples(4));
  notWave[8] = 'A';
  seeds["riff-not-wave"] = notWave;
  seeds["not-riff"] = Bytes{'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd', '!'};
  return seeds;
}

Seeds CreateSeeds() {
  using Test::MakeWave;
  Seeds seeds;
  seeds["no-files"] = {};
  seeds["two-sounds"] = JoinFiles({{1, MakeWave(Samples(100))}, {0, MakeWave(Samples(50, 2))}});
  seeds["same-number"] = JoinFiles({{3, MakeWave(Samples(10))},
                                    {3 + kSoundNumbers, MakeWave(Samples(20, 2))},
                                    {2, MakeWave({})}});
  seeds["mixed-layouts"] = JoinFiles(
      {{0, WaveBuilder().Chunk("LIST", Bytes(5)).Format(2, 11025, 8).Data(Samples(31)).Build()},
       {4, WaveBuilder().Extensible(1, 22050, 16).Data(Samples(12)).Build()},
       {5, WaveBuilder().Format(1, 22050, 16).RawChunk("data", 100, Samples(10)).Build()}});
  seeds["one-unusable"] = JoinFiles({{0, MakeWave(Samples(10))},
                                     {1, WaveBuilder().Format(1, 22050, 32, 3).Data(Bytes(4)).Build()}});
  seeds["too-fast"] = JoinFiles({{6, MakeWave(Samples(4), 44100)}});
  return seeds;
}

// A bank followed by a script of edits, written edit by edit in the layout of FuzzedEdits.h.
class EditScript {
 public:
  explicit EditScript(const Bytes& bank) : bytes_(bank) {
    bytes_.insert(bytes_.end(), kEditMarker.begin(), kEditMarker.end());
  }
  EditScript& Replace(std::uint8_t index, std::uint8_t flags, std::uint8_t shape, std::uint8_t samples) {
    return Op(EditOp::Replace, {index, flags}).Wave(shape, samples);
  }
  EditScript& SetName(std::uint8_t index, const std::string& name) {
    return Op(EditOp::SetFields, {index, kSetName}).Name(name);
  }
  EditScript& SetNumbers(std::uint8_t index, std::uint32_t unknown, std::uint32_t loopEnd) {
    Op(EditOp::SetFields, {index, kSetUnknown | kSetLoopEnd});
    for (std::uint32_t value : {unknown, loopEnd}) Test::AppendU32(bytes_, value);
    return *this;
  }
  EditScript& Insert(std::uint8_t index, std::uint8_t flags, const std::string& name,
                     std::uint8_t shape, std::uint8_t samples) {
    Op(EditOp::Insert, {index, flags});
    if (flags & kNamed) Name(name);
    return Wave(shape, samples);
  }
  EditScript& Remove(const Bytes& indexes) {
    Op(EditOp::Remove, {static_cast<std::uint8_t>(indexes.size())});
    bytes_.insert(bytes_.end(), indexes.begin(), indexes.end());
    return *this;
  }
  EditScript& Undo() { return Op(EditOp::Undo, {}); }
  EditScript& Redo() { return Op(EditOp::Redo, {}); }
  EditScript& Save(std::uint8_t where) { return Op(EditOp::Save, {where}); }
  Bytes Build() const { return bytes_; }

 private:
  EditScript& Op(EditOp op, std::initializer_list<std::uint8_t> arguments) {
    bytes_.push_back(static_cast<std::uint8_t>(op));
    bytes_.insert(bytes_.end(), arguments);
    return *this;
  }
  EditScript& Name(const std::string& name) {
    bytes_.push_back(static_cast<std::uint8_t>(name.size()));
    bytes_.insert(bytes_.end(), name.begin(), name.end());
    return *this;
  }
  EditScript& Wave(std::uint8_t shape, std::uint8_t samples) {
    bytes_.push_back(shape);
    bytes_.push_back(samples);
    const Bytes data = Samples(samples, shape);
    bytes_.insert(bytes_.end(), data.begin(), data.end());
    return *this;
  }

  Bytes bytes_;
};

Seeds EditSeeds() {
  using Test::MakeBank;
  Seeds seeds;
  const Bytes plain = MakeBank({{.Name = "one", .Data = Samples(40)},
                                {.Name = "two", .Data = Samples(24, 2)},
                                {.Name = "three", .Data = Samples(16, 3)}});
  seeds["plain"] = EditScript(plain)
                       .Replace(1, 0, kWaveSoundsOwn, 20)
                       .Save(0)
                       .SetName(0, "caf\xC3\xA9 \xE2\x82\xAC")
                       .SetNumbers(2, 7, 12)
                       .Insert(3, kNamed, "new", kWave22050, 10)
                       .Remove({0, 2})
                       .Undo()
                       .Undo()
                       .Redo()
                       .Save(kOverLoaded)
                       .Build();

  // A gap and trailing bytes, a header with extra bytes, and two slots sharing one sound.
  Bytes odd(16, 0);
  Test::PutU32(odd, 0, 3);
  odd.insert(odd.end(), {0xEE, 0xEE});
  const auto place = [&odd](std::initializer_list<std::size_t> slots, const Test::SoundSpec& sound,
                            const Bytes& extra) {
    for (std::size_t slot : slots) Test::PutU32(odd, 4 + 4 * slot, static_cast<std::uint32_t>(odd.size()));
    const Bytes header = Test::MakeHeader(sound);
    for (const Bytes* part : {&header, &extra, &sound.Data}) odd.insert(odd.end(), part->begin(), part->end());
  };
  place({0}, {.Name = "extra", .Data = Samples(12), .HeaderSize = 44}, {0xA0, 0xA1, 0xA2, 0xA3});
  place({1, 2}, {.Name = "shared", .Data = Samples(10, 2)}, {});
  odd.insert(odd.end(), {0xEE, 0xEE, 0xEE});
  seeds["odd-layout"] = EditScript(odd)
                            .Replace(0, kFilesOwn, kWave11025 | kWave8Bits, 9)
                            .SetName(1, "a name of twenty byt")
                            .Insert(1, 0, "", kWaveLongStem | kWaveStereo, 16)
                            .Save(0)
                            .Undo()
                            .Remove({2})
                            .Save(0)
                            .Build();

  Bytes cut = MakeBank({{.Name = "whole", .Data = Samples(8)}, {.Name = "cut", .Data = Samples(30)}});
  cut.resize(cut.size() - 10);
  seeds["damaged"] = EditScript(cut)
                         .Save(0)
                         .Replace(1, 0, kWaveSoundsOwn, 8)
                         .Replace(1, kFilesOwn, kWave44100, 12)
                         .Save(kOverLoaded)
                         .Undo()
                         .Redo()
                         .Build();

  const Bytes formats = MakeBank({{.Name = "half", .Data = Samples(12), .SampleRate = 44101},
                                  {.Name = "wide", .Data = Samples(36), .SampleRate = 16000,
                                   .BitsPerSample = 24, .NumChannels = 6},
                                  {.Name = "none", .Data = Samples(4), .SampleRate = 0}});
  seeds["formats"] = EditScript(formats)
                         .Replace(0, 0, kWave22050, 16)
                         .Replace(1, 0, kWaveSoundsOwn, 36)
                         .Replace(2, 0, kWaveSoundsOwn, 4)
                         .Insert(0, kAskBits | kAsk8Bits | kAskMono | kAskLowRate, "", kWave22050 | kWaveStereo, 20)
                         .Insert(4, kNamed, "snow \xE2\x98\x83", kWaveForeignStem, 2)
                         .Save(0)
                         .Build();

  seeds["no-bank"] = EditScript({1, 0, 0})
                         .Replace(0, 0, 0, 2)
                         .Insert(0, 0, "", 0, 2)
                         .Remove({0})
                         .Undo()
                         .Save(0)
                         .Build();
  return seeds;
}

void Write(const fs::path& folder, const Seeds& seeds) {
  fs::create_directories(folder);
  for (const auto& [name, bytes] : seeds) WriteBytes(folder / ("seed-" + name), bytes);
}

}  // namespace
}  // namespace Orvane::Fuzz

int main(int argc, char** argv) {
  using namespace Orvane::Fuzz;
  if (argc != 2) {
    std::fprintf(stderr, "usage: orvane_fuzz_seeds CORPUS\n");
    return 2;
  }
  const std::filesystem::path corpus = argv[1];
  Write(corpus / "bank", BankSeeds());
  Write(corpus / "wave", WaveSeeds());
  Write(corpus / "create", CreateSeeds());
  Write(corpus / "edit", EditSeeds());
  return 0;
}
