#include "Reporter.h"

#include <cstdio>

namespace Orvane {

void ReportToConsole(ReportKind kind, const std::string& line) {
  std::FILE* stream = kind == ReportKind::Progress ? stdout : stderr;
  std::fputs(line.c_str(), stream);
  std::fflush(stream);
}

}  // namespace Orvane
