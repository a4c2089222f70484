#pragma once
// The program's fixed texts.

namespace Orvane {

inline constexpr const char* kProgramName = "Orvane";
inline constexpr const char* kVersion = "1.0.1";
inline constexpr const char* kConfiguration = "(RELEASE)";

}  // namespace Orvane

// The build date and time of the source file that uses it, e.g. "Apr  2 2020 22:38:52".
#define ORVANE_BUILD_STAMP __DATE__ " " __TIME__
