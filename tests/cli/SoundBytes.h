#pragma once
// Each sound of a bank file as the file holds it: its header, extra header bytes and samples,
// so that a test can say which sounds an edit left byte for byte.
#include <vector>

#include "TestFiles.h"

namespace Orvane::Test {

std::vector<Bytes> SoundBytes(const Bytes& bank);

}  // namespace Orvane::Test
