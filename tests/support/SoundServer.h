#pragma once
// A sound server of the test's own, which plays into nothing at a device's pace and takes as
// many devices as are opened: SDL's own test drivers (disk, dummy) open one device at a time.
#include <string>

#include "TestFiles.h"

namespace Orvane::Test {

class SoundServer {
 public:
  // Starts PulseAudio with a null sink in a folder of its own, and points SDL at it.
  SoundServer();
  ~SoundServer();
  SoundServer(const SoundServer&) = delete;
  SoundServer& operator=(const SoundServer&) = delete;

  // Empty once it serves; otherwise why it does not.
  const std::string& Refusal() const { return refusal_; }

 private:
  TempDir dir_;
  std::string home_, runtime_;  // as they were before
  int pid_ = -1;
  std::string refusal_;
};

}  // namespace Orvane::Test
