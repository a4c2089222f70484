#include "Reporter.h"

#include <cstdio>

namespace Orvane {

void ReportToConsole(const Report& report) {
  std::FILE* stream = report.Kind == ReportKind::Progress ? stdout : stderr;
  std::fputs(report.Line.c_str(), stream);
  std::fflush(stream);
}

Reporter AboutSound(const Reporter& report, std::uint32_t index) {
  return [report, index](const Report& line) {
    Report about = line;
    about.Sound = index;
    report(about);
  };
}

}  // namespace Orvane
