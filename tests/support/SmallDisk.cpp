#include "SmallDisk.h"

#include <sched.h>
#include <sys/mount.h>

#include <cerrno>
#include <cstring>

namespace Orvane::Test {
namespace {

// Moves this process into a mount table of its own, once; empty on success, else why not.
std::string PrivateMountTable() {
  static const std::string refusal = [] {
    if (::unshare(CLONE_NEWNS) != 0) return std::string("unshare: ") + std::strerror(errno);
    // Without this, mounts would still travel back to the system's table.
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
      return std::string("mount --make-rprivate /: ") + std::strerror(errno);
    return std::string();
  }();
  return refusal;
}

}  // namespace

SmallDisk::SmallDisk(std::uint64_t bytes) {
  refusal_ = PrivateMountTable();
  if (!refusal_.empty()) return;
  const std::string options = "size=" + std::to_string(bytes);
  mounted_ = ::mount("tmpfs", dir_.Path().c_str(), "tmpfs", 0, options.c_str()) == 0;
  if (!mounted_) refusal_ = std::string("mount tmpfs: ") + std::strerror(errno);
}

SmallDisk::~SmallDisk() {
  if (mounted_) ::umount2(dir_.Path().c_str(), MNT_DETACH);
}

}  // namespace Orvane::Test
