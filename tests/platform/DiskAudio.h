#pragma once
// Runs the sound output on SDL's disk driver, which writes what a device would play to a file,
// at the pace a device would play it.
#include <gtest/gtest.h>

#include <cstddef>
#include <optional>
#include <string>

#include "TestFiles.h"

namespace Orvane::Test {

void SetEnvironment(const char* name, const std::string& value);

// Each test starts SDL's audio afresh on the disk driver, writing into its own folder.
class DiskAudioTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Everything the device was given, once the output has been shut down.
  Bytes Output();

  TempDir dir_;
};

// Where `sound` begins in `output`, after the silence a device may play before it.
std::optional<std::size_t> FindSound(const Bytes& output, const Bytes& sound);

// True when output[from, from + sound.size()) is `sound`.
bool HoldsAt(const Bytes& output, std::size_t from, const Bytes& sound);

}  // namespace Orvane::Test
