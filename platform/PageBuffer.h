#pragma once
// A large owned byte array for a whole bank file. Reading hundreds of megabytes into fresh
// memory is dominated by page faults, so where the system offers huge pages the buffer asks
// for them.
#include <cstddef>
#include <cstdint>

namespace Orvane {

class PageBuffer {
 public:
  PageBuffer() = default;
  // Throws std::bad_alloc when the memory cannot be had.
  explicit PageBuffer(std::size_t size);
  PageBuffer(PageBuffer&& other) noexcept;
  PageBuffer& operator=(PageBuffer&& other) noexcept;
  PageBuffer(const PageBuffer&) = delete;
  PageBuffer& operator=(const PageBuffer&) = delete;
  ~PageBuffer();

  std::uint8_t* data() { return data_; }
  const std::uint8_t* data() const { return data_; }
  std::size_t size() const { return size_; }
  explicit operator bool() const { return data_ != nullptr; }

  void reset();

 private:
  std::uint8_t* data_ = nullptr;
  std::size_t size_ = 0;
  std::size_t mapped_ = 0;  // bytes mapped from the system, 0 when taken from the heap
};

}  // namespace Orvane
