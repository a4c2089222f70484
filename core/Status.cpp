#include "Status.h"

#include <cstdio>
#include <cstdlib>

#include "Text.h"

namespace Orvane {
namespace {

bool Names(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

}  // namespace

std::string Described(const Status& failure) {
  const std::string& reason = failure.message();
  const Where& where = failure.where();
  std::string parts;
  const auto add = [&](const std::string& part) { parts += (parts.empty() ? "" : ", ") + part; };
  if (!where.File.empty() && !Names(reason, where.File)) add(where.File);
  if (where.Sound && !Names(reason, Str("sound ", *where.Sound))) add(Str("sound ", *where.Sound));
  if (where.Offset && !Names(reason, Str("byte ", *where.Offset)) &&
      !Names(reason, Str("byte ", Thousands(*where.Offset))))
    add(Str("byte ", Thousands(*where.Offset)));
  return parts.empty() ? reason : Str(reason, " (at ", parts, ")");
}

void ValueOfFailure(const Status& failure) {
  std::fprintf(stderr, "internal error: the value of a failed result was read: %s\n",
               Described(failure).c_str());
  std::abort();
}

}  // namespace Orvane
