#pragma once
// How far the playing sound has got. Written by one side at a time (the audio thread, or a
// play holding the device's lock), read by any thread without a lock, so that asking never
// holds up the audio thread. A sequence count, odd while the figures are being written, tells a
// reader that read across the change to read again, so it never mixes two sounds' figures.
#include <algorithm>
#include <atomic>
#include <chrono>
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
    Write([&] {
      frames_.store(frames, std::memory_order_relaxed);
      rate_.store(rate, std::memory_order_relaxed);
      deviceRate_.store(deviceRate, std::memory_order_relaxed);
      handed_.store(0, std::memory_order_relaxed);
      lastHand_.store(0, std::memory_order_relaxed);
      playing_.store(frames > 0, std::memory_order_relaxed);
    });
    if (frames == 0) playing_.notify_all();
  }

  // The audio thread has handed the device `deviceFrames` more frames of the sound.
  void Hand(std::uint64_t deviceFrames) {
    const std::int64_t now = Now();
    Write([&] {
      handed_.store(handed_.load(std::memory_order_relaxed) + deviceFrames,
                    std::memory_order_relaxed);
      lastHand_.store(deviceFrames, std::memory_order_relaxed);
      handedAt_.store(now, std::memory_order_relaxed);
    });
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
      const std::uint64_t last = lastHand_.load(std::memory_order_relaxed);
      const std::int64_t handedAt = handedAt_.load(std::memory_order_relaxed);
      std::atomic_thread_fence(std::memory_order_acquire);
      if (sequence_.load(std::memory_order_relaxed) != before) continue;
      if (!playing) return std::nullopt;
      // The device plays a buffer over the time it lasts: so much of the last one as that time
      // has passed, which moves the position on between the audio thread's steps.
      const double elapsed = static_cast<double>(std::max<std::int64_t>(Now() - handedAt, 0)) / 1e9;
      const double device = static_cast<double>(handed - last) +
                            std::min(elapsed * deviceRate, static_cast<double>(last));
      // In the sound's own frames: exact at equal rates, within a frame otherwise.
      const auto played = static_cast<std::uint64_t>(device * rate / deviceRate);
      return PlayPosition{std::min(played, frames), frames, rate};
    }
  }

 private:
  static std::int64_t Now() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
  }

  // One writer at a time: the sequence is odd while `change` stores.
  template <typename Change>
  void Write(Change change) {
    const std::uint32_t sequence = sequence_.load(std::memory_order_relaxed);
    sequence_.store(sequence + 1, std::memory_order_relaxed);
    std::atomic_thread_fence(std::memory_order_release);
    change();
    sequence_.store(sequence + 2, std::memory_order_release);
  }

  std::atomic<std::uint32_t> sequence_{0};
  std::atomic<std::uint64_t> frames_{0};
  std::atomic<std::uint32_t> rate_{0};
  std::atomic<std::uint32_t> deviceRate_{1};
  std::atomic<std::uint64_t> handed_{0};    // device frames of this sound
  std::atomic<std::uint64_t> lastHand_{0};  // of them, the last buffer's
  std::atomic<std::int64_t> handedAt_{0};   // when, on the steady clock, in nanoseconds
  std::atomic<bool> playing_{false};
};

}  // namespace Orvane
