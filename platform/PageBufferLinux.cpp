// A bank's buffer on Linux: on transparent huge pages, mapped and aligned for them.
#include <sys/mman.h>

#include <new>

#include "PageBuffer.h"

namespace Orvane {
namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;

}  // namespace

PageBuffer::PageBuffer(std::size_t size) : size_(size) {
  if (size == 0) return;
  if (size >= kHugePage) {
    const std::size_t rounded = (size + kHugePage - 1) / kHugePage * kHugePage;
    // Map one huge page more than needed so the buffer can start on a huge-page boundary.
    const std::size_t length = rounded + kHugePage;
    void* p = mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED) throw std::bad_alloc();
    auto* base = static_cast<std::uint8_t*>(p);
    const auto addr = reinterpret_cast<std::uintptr_t>(base);
    const std::size_t lead = (kHugePage - addr % kHugePage) % kHugePage;
    if (lead != 0) munmap(base, lead);
    const std::size_t tail = length - lead - rounded;
    if (tail != 0) munmap(base + lead + rounded, tail);
    data_ = base + lead;
    mapped_ = rounded;
    madvise(data_, mapped_, MADV_HUGEPAGE);  // a hint: without huge pages it still works
    return;
  }
  data_ = new std::uint8_t[size];
}

void PageBuffer::reset() {
  if (mapped_ != 0) {
    munmap(data_, mapped_);
    data_ = nullptr;
  }
  delete[] data_;
  data_ = nullptr;
  size_ = 0;
  mapped_ = 0;
}

}  // namespace Orvane
