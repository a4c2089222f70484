#pragma once
// Where the engine's progress lines and warnings go: the console by default, and wherever a
// front end wants them besides.
#include <functional>
#include <string>

namespace Orvane {

enum class ReportKind { Progress, Warning };

// `line` ends with a newline.
using Reporter = std::function<void(ReportKind kind, const std::string& line)>;

// Progress to standard output, warnings to standard error, each flushed at once.
void ReportToConsole(ReportKind kind, const std::string& line);

}  // namespace Orvane
