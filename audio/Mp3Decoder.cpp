#include <mpg123.h>

#include <algorithm>
#include <cstdio>
#include <limits>

#include "Decoders.h"

namespace Orvane::Audio {
namespace {

struct Mpg123Closer {
  void operator()(mpg123_handle* handle) const {
    mpg123_close(handle);
    mpg123_delete(handle);
  }
};

struct StreamFormat {
  long RateHz = 0;
  int Channels = 0;
  int Encoding = 0;
};

std::string Describe(const StreamFormat& f) {
  return Str(f.RateHz, " Hz, ", f.Channels, " channels");
}

class Mp3Source final : public FloatSource {
 public:
  Status Open(const std::filesystem::path& path);
  const SourceInfo& Info() const override { return info_; }
  Result<std::size_t> Read(std::span<float> samples) override;

 private:
  static mpg123_ssize_t ReadFile(void* self, void* out, std::size_t count);
  static off_t SeekFile(void* self, off_t offset, int whence);
  Result<StreamFormat> CurrentFormat();
  Status Failure(const char* doing) const {
    return Status::Error(ErrorKind::Damaged,
                         Str("libmpg123 ", doing, ": ", mpg123_strerror(handle_.get())));
  }

  InputFile file_;  // outlives handle_, which reads through it
  std::uint64_t position_ = 0;
  std::unique_ptr<mpg123_handle, Mpg123Closer> handle_;
  StreamFormat format_;
  SourceInfo info_;
  bool ended_ = false;
};

mpg123_ssize_t Mp3Source::ReadFile(void* self, void* out, std::size_t count) {
  auto& s = *static_cast<Mp3Source*>(self);
  const std::uint64_t size = s.file_.Size();
  if (s.position_ >= size) return 0;
  const std::size_t n =
      static_cast<std::size_t>(std::min<std::uint64_t>(count, size - s.position_));
  if (!s.file_.ReadAt(s.position_, std::span(static_cast<std::uint8_t*>(out), n))) return -1;
  s.position_ += n;
  return static_cast<mpg123_ssize_t>(n);
}

off_t Mp3Source::SeekFile(void* self, off_t offset, int whence) {
  auto& s = *static_cast<Mp3Source*>(self);
  const auto base = static_cast<std::int64_t>(whence == SEEK_SET   ? 0
                                              : whence == SEEK_CUR ? s.position_
                                                                   : s.file_.Size());
  constexpr std::int64_t kMax = std::numeric_limits<off_t>::max();
  if (offset > 0 && base > kMax - offset) return -1;
  if (base + offset < 0) return -1;
  s.position_ = static_cast<std::uint64_t>(base + offset);
  return static_cast<off_t>(s.position_);
}

Result<StreamFormat> Mp3Source::CurrentFormat() {
  StreamFormat f;
  // On a fresh stream this reads up to the first frame.
  if (mpg123_getformat(handle_.get(), &f.RateHz, &f.Channels, &f.Encoding) != MPG123_OK)
    return Failure("finds no MPEG audio in it");
  return f;
}

Status Mp3Source::Open(const std::filesystem::path& path) {
  auto input = OpenAudioFile(path);
  if (!input) return input.status();
  file_ = std::move(*input);
  int error = MPG123_OK;
  handle_.reset(mpg123_new(nullptr, &error));
  if (!handle_)
    return Status::Error(ErrorKind::Failed,
                         Str("libmpg123 cannot start: ", mpg123_plain_strerror(error)));
  // Quiet: it would otherwise print to stderr about every damaged frame. The tags are of no
  // use here, so they are skipped rather than parsed into memory.
  mpg123_param(handle_.get(), MPG123_ADD_FLAGS, MPG123_QUIET | MPG123_SKIP_ID3V2, 0);
  mpg123_format_none(handle_.get());
  const long* rates = nullptr;
  std::size_t rateCount = 0;
  mpg123_rates(&rates, &rateCount);
  for (std::size_t i = 0; i < rateCount; ++i)
    if (mpg123_format(handle_.get(), rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_FLOAT_32) !=
        MPG123_OK)
      return Status::Error(ErrorKind::Unsupported, "this libmpg123 cannot decode to float");
  if (mpg123_replace_reader_handle(handle_.get(), ReadFile, SeekFile, nullptr) != MPG123_OK ||
      mpg123_open_handle(handle_.get(), this) != MPG123_OK)
    return Failure("cannot open it");

  auto format = CurrentFormat();
  if (!format) return format.status();
  format_ = *format;
  if (format_.Encoding != MPG123_ENC_FLOAT_32 || format_.RateHz < 1 || format_.Channels < 1 ||
      format_.Channels > 2)
    return Status::Error(ErrorKind::Damaged,
                         Str("libmpg123 decodes it to an unexpected format: ", Describe(format_)));
  info_.RateHz = static_cast<double>(format_.RateHz);
  info_.Channels = static_cast<unsigned>(format_.Channels);
  info_.Bits = 32;
  info_.Encoding = "MP3";
  // From a Xing header or the file's size: an estimate, as good as the file allows unscanned.
  if (const off_t length = mpg123_length(handle_.get()); length > 0)
    info_.Frames = static_cast<std::uint64_t>(length);
  return Status::Ok();
}

Result<std::size_t> Mp3Source::Read(std::span<float> samples) {
  if (Status room = CheckRoomForAFrame(samples, info_.Channels); !room) return room;
  const std::size_t frameBytes = info_.Channels * sizeof(float);
  const std::size_t wanted = samples.size() / info_.Channels * frameBytes;
  auto* out = reinterpret_cast<unsigned char*>(samples.data());
  std::size_t filled = 0;
  while (!ended_ && filled < wanted) {
    std::size_t done = 0;
    const int answer = mpg123_read(handle_.get(), out + filled, wanted - filled, &done);
    filled += done;
    if (answer == MPG123_DONE) {
      ended_ = true;
    } else if (answer == MPG123_NEW_FORMAT) {
      auto now = CurrentFormat();
      if (!now) return now.status();
      if (now->RateHz != format_.RateHz || now->Channels != format_.Channels)
        return Status::Error(ErrorKind::Damaged, Str("the sound changes from ", Describe(format_),
                                                     " to ", Describe(*now), " partway"));
    } else if (answer != MPG123_OK) {
      return Failure("stopped decoding it");
    } else if (done == 0) {
      // It fills the whole buffer when it answers OK; anything else would never end.
      return Status::Error(ErrorKind::Damaged, "libmpg123 stopped making progress on it");
    }
  }
  return filled / frameBytes;
}

}  // namespace

Result<std::unique_ptr<FloatSource>> OpenMp3Decoder(const std::filesystem::path& file) {
  auto source = std::make_unique<Mp3Source>();
  if (Status opened = source->Open(file); !opened) return opened;
  return std::unique_ptr<FloatSource>(std::move(source));
}

}  // namespace Orvane::Audio
