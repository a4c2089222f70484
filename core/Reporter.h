#pragma once
// Where the engine's progress lines and warnings go: the console by default, and wherever a
// front end wants them besides.
#include <functional>
#include <string>

namespace Orvane {

// Progress lines are the operation's own output; notes say what was done to a file along the
// way (a conversion); warnings, what was taken in good part.
enum class ReportKind { Progress, Note, Warning };

// `line` ends with a newline.
using Reporter = std::function<void(ReportKind kind, const std::string& line)>;

// Progress to standard output, notes and warnings to standard error, each flushed at once.
void ReportToConsole(ReportKind kind, const std::string& line);

}  // namespace Orvane
