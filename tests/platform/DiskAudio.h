#pragma once
// Runs the sound output on SDL's disk driver, which writes what a device would play to a file,
// at the pace a device would play it.
#include <gtest/gtest.h>

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "SoundOutput.h"
#include "TestFiles.h"

namespace Orvane::Test {

// Each test has a sound output of its own on SDL's disk driver, writing into its own folder,
// converting as the window's does.
class DiskAudioTest : public ::testing::Test {
 protected:
  DiskAudioTest();
  ~DiskAudioTest() override;

  Orvane::SoundOutput& Output() { return *output_; }
  // Makes the output one that converts nothing.
  void WithoutConverter();
  // Everything the device was given, once the output has been shut down.
  Bytes Written();

  TempDir dir_;
  std::function<void()> defaultSound_;  // what sounds for an image the output refuses

 private:
  Orvane::SoundOutput::Settings Settings(bool convert);
  std::unique_ptr<Orvane::SoundOutput> output_;
};

// Where `sound` begins in `output`, after the silence a device may play before it.
std::optional<std::size_t> FindSound(const Bytes& output, const Bytes& sound);

// True when output[from, from + sound.size()) is `sound`.
bool HoldsAt(const Bytes& output, std::size_t from, const Bytes& sound);

}  // namespace Orvane::Test
