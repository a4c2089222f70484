// A bank's buffer on Windows: committed memory from the system, which large pages would ask an
// administrator's right for.
#include <windows.h>

#include <new>

#include "PageBuffer.h"

namespace Orvane {

PageBuffer::PageBuffer(std::size_t size) : size_(size) {
  if (size == 0) return;
  void* p = VirtualAlloc(nullptr, size, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
  if (p == nullptr) throw std::bad_alloc();
  data_ = static_cast<std::uint8_t*>(p);
  mapped_ = size;
}

void PageBuffer::reset() {
  if (data_ != nullptr) VirtualFree(data_, 0, MEM_RELEASE);
  data_ = nullptr;
  size_ = 0;
  mapped_ = 0;
}

}  // namespace Orvane
