// A decoder program for the tests: it serves requests as orvane-decoder does, but for a file
// named after a way to misbehave it misbehaves so, and answers the other files truly.
#ifdef _WIN32
#include <windows.h>
#endif

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "Decoder.h"
#include "DecoderService.h"
#include "PathUtf8.h"

namespace {

using namespace Orvane;
using namespace Orvane::Audio;

// Delivers `good` blocks of silence, then does `then`.
class Misbehaving final : public FloatSource {
 public:
  Misbehaving(int good, void (*then)()) : good_(good), then_(then) {}
  const SourceInfo& Info() const override { return info_; }
  Result<std::size_t> Read(std::span<float> samples) override {
    if (good_-- == 0 && then_ != nullptr) then_();
    if (good_ < 0) return std::size_t{0};
    std::fill(samples.begin(), samples.end(), 0.0f);
    return samples.size() / info_.Channels;
  }

 private:
  SourceInfo info_{44100, 2, 16, "16-bit"};
  int good_;
  void (*then_)();
};

Result<std::unique_ptr<FloatSource>> After(int good, void (*then)()) {
  return std::unique_ptr<FloatSource>(std::make_unique<Misbehaving>(good, then));
}

// The system's own crash: SIGSEGV on POSIX, an access violation on Windows. Not a write through
// a null pointer, which the sanitizers stop as an error before it crashes.
void Crash() {
#ifdef _WIN32
  RaiseException(EXCEPTION_ACCESS_VIOLATION, EXCEPTION_NONCONTINUABLE, 0, nullptr);
#else
  std::raise(SIGSEGV);
#endif
}
void Hang() { std::this_thread::sleep_for(std::chrono::seconds(30)); }
void Exit3() { std::_Exit(3); }
void Spin() {
  for (volatile unsigned long i = 0;; i = i + 1) {
  }
}
void Hog() {
  std::vector<std::unique_ptr<char[]>> hog;
  for (;;) {
    hog.emplace_back(new char[1 << 20]);
    std::fill_n(hog.back().get(), 1 << 20, 1);
  }
}

Result<std::unique_ptr<FloatSource>> Open(const DecodeRequest& request) {
  const std::string name = PathToUtf8(request.File.filename());
  if (name == "crash-opening") Crash();
  if (name == "crash-partway") return After(3, Crash);
  if (name == "hang") return After(1, Hang);
  if (name == "exit-3") return After(0, Exit3);
  if (name == "spin") return After(1, Spin);
  if (name == "endless-allocation") return After(1, Hog);
  if (name == "endless-sound") return After(1 << 30, nullptr);
  // "kind-7": a failure of kind 7, told so.
  if (name.rfind("kind-", 0) == 0)
    return Status::Error(static_cast<ErrorKind>(std::stoul(name.substr(5))), "told so",
                         {"told.wav", 3, 1234});
  return OpenDecoder(request.File, request.FileContainer);
}

}  // namespace

int main() { return ServeDecodeRequest(Open); }
