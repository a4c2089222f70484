#pragma once
// A file system small enough to fill up: a tmpfs mounted on a fresh folder for the life of the
// object. The mount is made in a mount table of this process's own, so a test that dies leaves
// nothing mounted on the system; programs this process starts see it.
#include <cstdint>
#include <filesystem>
#include <string>

#include "TestFiles.h"

namespace Orvane::Test {

class SmallDisk {
 public:
  explicit SmallDisk(std::uint64_t bytes = 256 * 1024);
  ~SmallDisk();
  SmallDisk(const SmallDisk&) = delete;
  SmallDisk& operator=(const SmallDisk&) = delete;

  // False where this process may not mount (not root, no mount namespaces): the test skips.
  bool Mounted() const { return mounted_; }
  // Why it is not mounted.
  const std::string& Refusal() const { return refusal_; }
  const std::filesystem::path& Path() const { return dir_.Path(); }
  std::filesystem::path operator/(const std::string& name) const { return dir_ / name; }

 private:
  TempDir dir_;
  bool mounted_ = false;
  std::string refusal_;
};

}  // namespace Orvane::Test
