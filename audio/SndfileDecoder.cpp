#include <sndfile.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <limits>
#include <span>

#include "Decoders.h"

namespace Orvane::Audio {
namespace {

struct Encoding {
  int Subtype;
  unsigned Bits;
  const char* Name;
};

constexpr Encoding kPcmEncodings[] = {
    {SF_FORMAT_PCM_S8, 8, "8-bit"},         {SF_FORMAT_PCM_U8, 8, "8-bit"},
    {SF_FORMAT_PCM_16, 16, "16-bit"},       {SF_FORMAT_PCM_24, 24, "24-bit"},
    {SF_FORMAT_PCM_32, 32, "32-bit"},       {SF_FORMAT_FLOAT, 32, "32-bit float"},
    {SF_FORMAT_DOUBLE, 64, "64-bit float"},
};
constexpr Encoding kFlacEncodings[] = {{SF_FORMAT_PCM_S8, 8, "8-bit"},
                                       {SF_FORMAT_PCM_16, 16, "16-bit"},
                                       {SF_FORMAT_PCM_24, 24, "24-bit"}};
constexpr Encoding kVorbisEncodings[] = {{SF_FORMAT_VORBIS, 32, "Vorbis"}};
constexpr Encoding kOpusEncodings[] = {{SF_FORMAT_OPUS, 32, "Opus"}};

// What libsndfile must find in a file of each container to decode it.
struct Accepted {
  std::array<int, 2> Majors;  // a 0 is no format
  std::span<const Encoding> Encodings;
};

Accepted AcceptedFor(Container container) {
  switch (container) {
    case Container::Wave: return {{SF_FORMAT_WAV, SF_FORMAT_WAVEX}, kPcmEncodings};
    case Container::Rf64: return {{SF_FORMAT_RF64, 0}, kPcmEncodings};
    case Container::Wave64: return {{SF_FORMAT_W64, 0}, kPcmEncodings};
    case Container::Aiff: return {{SF_FORMAT_AIFF, 0}, kPcmEncodings};
    case Container::Flac: return {{SF_FORMAT_FLAC, 0}, kFlacEncodings};
    case Container::OggVorbis: return {{SF_FORMAT_OGG, 0}, kVorbisEncodings};
    case Container::OggOpus: return {{SF_FORMAT_OGG, 0}, kOpusEncodings};
    case Container::Mp3: break;
  }
  return {{0, 0}, {}};
}

// libsndfile's own name for a major format or a subtype, e.g. "U-Law".
std::string FormatName(int format) {
  SF_FORMAT_INFO info{};
  info.format = format;
  if (sf_command(nullptr, SFC_GET_FORMAT_INFO, &info, sizeof info) != 0 || info.name == nullptr)
    return Str("format 0x", std::hex, format);
  return info.name;
}

// libsndfile reads through these, so the file is opened like any other (see OpenAudioFile).
struct VirtualFile {
  InputFile File;
  sf_count_t Position = 0;
};

VirtualFile& Of(void* user) { return *static_cast<VirtualFile*>(user); }

sf_count_t FileLength(void* user) { return static_cast<sf_count_t>(Of(user).File.Size()); }

sf_count_t FileSeek(sf_count_t offset, int whence, void* user) {
  VirtualFile& f = Of(user);
  const sf_count_t base = whence == SEEK_SET   ? 0
                          : whence == SEEK_CUR ? f.Position
                                               : FileLength(user);
  constexpr sf_count_t kMax = std::numeric_limits<sf_count_t>::max();
  if (offset > 0 && base > kMax - offset) return -1;
  if (base + offset < 0) return -1;
  f.Position = base + offset;
  return f.Position;
}

sf_count_t FileRead(void* out, sf_count_t count, void* user) {
  VirtualFile& f = Of(user);
  const sf_count_t size = FileLength(user);
  if (count <= 0 || f.Position >= size) return 0;
  const sf_count_t n = std::min(count, size - f.Position);
  const std::span bytes(static_cast<std::uint8_t*>(out), static_cast<std::size_t>(n));
  if (!f.File.ReadAt(static_cast<std::uint64_t>(f.Position), bytes)) return 0;
  f.Position += n;
  return n;
}

sf_count_t FileWrite(const void*, sf_count_t, void*) { return 0; }

sf_count_t FileTell(void* user) { return Of(user).Position; }

ErrorKind KindOfOpenError(int error) {
  switch (error) {
    case SF_ERR_UNSUPPORTED_ENCODING: return ErrorKind::Unsupported;
    case SF_ERR_SYSTEM: return ErrorKind::Io;
    default: return ErrorKind::Damaged;
  }
}

struct SndfileCloser {
  void operator()(SNDFILE* file) const { sf_close(file); }
};

class SndfileSource final : public FloatSource {
 public:
  Status Open(const std::filesystem::path& path, Container container);
  const SourceInfo& Info() const override { return info_; }
  Result<std::size_t> Read(std::span<float> samples) override;

 private:
  VirtualFile file_;  // outlives sndfile_, which reads through it
  std::unique_ptr<SNDFILE, SndfileCloser> sndfile_;
  SourceInfo info_;
};

Status SndfileSource::Open(const std::filesystem::path& path, Container container) {
  auto input = OpenAudioFile(path);
  if (!input) return input.status();
  file_.File = std::move(*input);
  SF_VIRTUAL_IO io{FileLength, FileSeek, FileRead, FileWrite, FileTell};
  SF_INFO sf{};
  sndfile_.reset(sf_open_virtual(&io, SFM_READ, &sf, &file_));
  if (!sndfile_)
    return Status::Error(
        KindOfOpenError(sf_error(nullptr)),
        Str("libsndfile cannot open it as ", ContainerName(container), ": ", sf_strerror(nullptr)));

  const Accepted accepted = AcceptedFor(container);
  const int major = sf.format & SF_FORMAT_TYPEMASK;
  const int subtype = sf.format & SF_FORMAT_SUBMASK;
  if (std::find(accepted.Majors.begin(), accepted.Majors.end(), major) == accepted.Majors.end())
    return Status::Error(ErrorKind::Unsupported, Str("libsndfile reads it as ", FormatName(major),
                                                     ", not as ", ContainerName(container)));
  const auto encoding = std::find_if(accepted.Encodings.begin(), accepted.Encodings.end(),
                                     [&](const Encoding& e) { return e.Subtype == subtype; });
  if (encoding == accepted.Encodings.end())
    return Status::Error(ErrorKind::Unsupported,
                         Str(FormatName(subtype), " samples in ", ContainerName(container),
                             " files are not supported"));
  if (sf.channels < 1 || static_cast<unsigned>(sf.channels) > kMaxSourceChannels)
    return Status::Error(ErrorKind::Damaged, Str("it declares ", sf.channels, " channels"));
  if (sf.samplerate < 1)
    return Status::Error(ErrorKind::Damaged, Str("it declares a rate of ", sf.samplerate, " Hz"));

  info_.RateHz = sf.samplerate;  // Opus included: libsndfile reports the rate it decodes at
  info_.Channels = static_cast<unsigned>(sf.channels);
  info_.Bits = encoding->Bits;
  info_.Encoding = encoding->Name;
  if (sf.frames > 0 && sf.frames != SF_COUNT_MAX) info_.Frames = static_cast<std::uint64_t>(sf.frames);
  return Status::Ok();
}

Result<std::size_t> SndfileSource::Read(std::span<float> samples) {
  if (Status room = CheckRoomForAFrame(samples, info_.Channels); !room) return room;
  // Normalised reading (the default) divides integer samples by 2^(bits-1).
  const sf_count_t frames = sf_readf_float(
      sndfile_.get(), samples.data(), static_cast<sf_count_t>(samples.size() / info_.Channels));
  if (sf_error(sndfile_.get()) != SF_ERR_NO_ERROR)
    return Result<std::size_t>::Error(
        ErrorKind::Damaged, Str("libsndfile stopped reading it: ", sf_strerror(sndfile_.get())));
  return static_cast<std::size_t>(std::max<sf_count_t>(frames, 0));
}

}  // namespace

Result<std::unique_ptr<FloatSource>> OpenSndfileDecoder(const std::filesystem::path& file,
                                                        Container container) {
  auto source = std::make_unique<SndfileSource>();
  if (Status opened = source->Open(file, container); !opened) return opened;
  return std::unique_ptr<FloatSource>(std::move(source));
}

// Every container but MP3 goes to libsndfile: its MP3 reading stops a VBR file without a
// Xing header at the length its first frame suggests.
Result<std::unique_ptr<FloatSource>> OpenDecoder(const std::filesystem::path& file,
                                                 Container container) {
  if (container == Container::Mp3) return OpenMp3Decoder(file);
  return OpenSndfileDecoder(file, container);
}

}  // namespace Orvane::Audio
