#pragma once
// The input of the editing target: a bank file, then behind a marker a script of edits. Each
// edit is an opcode byte (taken modulo the number of edits) and its arguments; a script that
// runs out reads as zeros, so any bytes are a script and mutating one edit's arguments leaves
// the edits after it readable.
//
//   Replace    index, flags (kFilesOwn), wave
//   SetFields  index, which (kSet*), name if kSetName, then a u32 for each number set
//   Insert     index, flags (kNamed, kAsk*), name if kNamed, wave
//   Remove     a count (modulo 5), that many indexes
//   Undo, Redo
//   Save       where (kOverLoaded: over the loaded file, else beside it)
//
//   index: 255 is past any bank; any other byte is taken modulo the count + 2, so the ends
//          (count for an insert, count and count + 1 otherwise) come up often.
//   name:  a length byte (modulo 21), then that many bytes, given as they are.
//   wave:  a shape byte (kWave*), a length byte, then that many sample bytes.
//   u32:   four bytes, little-endian.
#include <cstdint>
#include <string_view>

namespace Orvane::Fuzz {

inline constexpr std::string_view kEditMarker = "\n#edits#";
// Longer scripts reach no state a shorter one cannot, and slow every run.
inline constexpr std::size_t kMaxEdits = 32;
inline constexpr std::uint8_t kPastAnyBank = 255;
inline constexpr std::uint8_t kMaxNameBytes = 20;
inline constexpr std::uint8_t kMaxRemoved = 4;

enum class EditOp : std::uint8_t { Replace, SetFields, Insert, Remove, Undo, Redo, Save, Count };

inline constexpr std::uint8_t kFilesOwn = 1;

inline constexpr std::uint8_t kSetName = 1, kSetUnknown = 2, kSetLoopStart = 4, kSetLoopEnd = 8;

inline constexpr std::uint8_t kNamed = 1;
inline constexpr std::uint8_t kAskBits = 2;     // with kAsk8Bits 8-bit, else 16-bit
inline constexpr std::uint8_t kAsk8Bits = 4;
inline constexpr std::uint8_t kAskMono = 8;
inline constexpr std::uint8_t kAskLowRate = 16;  // 11,025 Hz

inline constexpr std::uint8_t kOverLoaded = 1;

// The rate (bits 0-1): the format of the sound replaced (when a WAVE file can have it), else
// 22,050 Hz; 22,050; 11,025; 44,100 Hz (more than a bank holds).
inline constexpr std::uint8_t kWaveRate = 3;
inline constexpr std::uint8_t kWaveSoundsOwn = 0, kWave22050 = 1, kWave11025 = 2, kWave44100 = 3;
inline constexpr std::uint8_t kWave8Bits = 4;    // else 16-bit
inline constexpr std::uint8_t kWaveStereo = 8;   // else mono
// The file's stem (bits 4-5), the name an unnamed insert takes: short, longer than a name
// holds, or with a character the code page lacks.
inline constexpr std::uint8_t kWaveStem = 0x30, kWaveLongStem = 0x20, kWaveForeignStem = 0x30;

}  // namespace Orvane::Fuzz
