#pragma once
// Where the engine's progress lines, notes and warnings go: the console by default, and wherever
// a front end wants them besides.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace Orvane {

// Progress lines are the operation's own output; notes say what was done to a file along the
// way (a conversion); warnings, what was taken in good part.
enum class ReportKind { Progress, Note, Warning };

struct Report {
  ReportKind Kind = ReportKind::Note;
  std::string Line;                         // ends with a newline
  std::optional<std::uint32_t> Sound = {};  // the sound it is about, when it is about one
};

using Reporter = std::function<void(const Report& report)>;

// Progress to standard output, notes and warnings to standard error, each flushed at once.
void ReportToConsole(const Report& report);

// Hands to `report` what is handed to it, as being about sound `index`.
Reporter AboutSound(const Reporter& report, std::uint32_t index);

}  // namespace Orvane
