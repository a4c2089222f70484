#pragma once
// How far the playing sound has got. Written by one side at a time (the audio thread, or a
// play holding the device's lock), read by any thread without a lock, so that asking never
// holds up the audio thread. A sequence count, odd while a new sound is being set, tells a
// reader that read across the change to read again, so it never mixes two sounds' figures.
#include <algorithm>
#include <atomic>
#include <cstdint>
#include <optional>
#include <thread>

#include "SoundOutput.h"

namespace Orvane {

class SoundProgress {
 public:
  // A new sound of `frames` frames at `rate`, played on a device at `deviceRate`; no frames
  // means no sound.
  void Begin(std::uint64_t frames, std::uint32_t rate, std::uint32_t deviceRate) {
    const std::uint32_t sequence = sequence_.load(std::memory_order_relaxed);
    sequence_.store(sequence + 1, std::memory_order_relaxed);
    std::atomic_thread_fence(std::memory_order_release);
    frames_.store(frames, std::memory_order_relaxed);
    rate_.store(rate, std::memory_order_relaxed);
    deviceRate_.store(deviceRate, std::memory_order_relaxed);
    handed_.store(0, std::memory_order_relaxed);
    playing_.store(frames > 0, std::memory_order_relaxed);
    sequence_.store(sequence + 2, std::memory_order_release);
    if (frames == 0) playing_.notify_all();
  }

  // The audio thread has handed the device `deviceFrames` more frames of the sound.
  void Hand(std::uint64_t deviceFrames) {
    handed_.store(handed_.load(std::memory_order_relaxed) + deviceFrames,
                  std::memory_order_relaxed);
  }

  // The audio thread has handed the device the sound's last frame.
  void End() {
    playing_.store(false, std::memory_order_release);
    playing_.notify_all();
  }

  bool Playing() const { return playing_.load(std::memory_order_acquire); }
  void WaitForEnd() const {
    while (playing_.load(std::memory_order_acquire)) playing_.wait(true);
  }

  std::optional<PlayPosition> Read() const {
    for (;;) {
      const std::uint32_t before = sequence_.load(std::memory_order_acquire);
      if (before % 2 != 0) {  // a play is setting its sound: a few stores, then done
        std::this_thread::yield();
        continue;
      }
      const bool playing = playing_.load(std::memory_order_relaxed);
      const std::uint64_t frames = frames_.load(std::memory_order_relaxed);
      const std::uint32_t rate = rate_.load(std::memory_order_relaxed);
      const std::uint32_t deviceRate = deviceRate_.load(std::memory_order_relaxed);
      const std::uint64_t handed = handed_.load(std::memory_order_relaxed);
      std::atomic_thread_fence(std::memory_order_acquire);
      if (sequence_.load(std::memory_order_relaxed) != before) continue;
      if (!playing) return std::nullopt;
      // Device frames in the sound's own: exact at equal rates (the product stays far below
      // 2^53), and within a frame otherwise.
      const auto played = static_cast<std::uint64_t>(static_cast<double>(handed) * rate /
                                                     deviceRate);
      return PlayPosition{std::min(played, frames), frames, rate};
    }
  }

 private:
  std::atomic<std::uint32_t> sequence_{0};
  std::atomic<std::uint64_t> frames_{0};
  std::atomic<std::uint32_t> rate_{0};
  std::atomic<std::uint32_t> deviceRate_{1};
  std::atomic<std::uint64_t> handed_{0};  // device frames of this sound
  std::atomic<bool> playing_{false};
};

}  // namespace Orvane
