// What a bank's buffer is on every system: moved and freed; each system's own file gets and
// gives back its memory.
#include <utility>

#include "PageBuffer.h"

namespace Orvane {

PageBuffer::PageBuffer(PageBuffer&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)),
      size_(std::exchange(other.size_, 0)),
      mapped_(std::exchange(other.mapped_, 0)) {}

PageBuffer& PageBuffer::operator=(PageBuffer&& other) noexcept {
  if (this != &other) {
    reset();
    data_ = std::exchange(other.data_, nullptr);
    size_ = std::exchange(other.size_, 0);
    mapped_ = std::exchange(other.mapped_, 0);
  }
  return *this;
}

PageBuffer::~PageBuffer() { reset(); }

}  // namespace Orvane
