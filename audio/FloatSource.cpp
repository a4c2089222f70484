#include "FloatSource.h"

#include <cmath>

#include "PcmFormat.h"
#include "Text.h"

namespace Orvane::Audio {

Status CheckSourceInfo(const SourceInfo& info) {
  if (info.Channels < 1 || info.Channels > kMaxSourceChannels)
    return Status::Error(ErrorKind::Damaged, Str("the decoded sound declares ", info.Channels, " channels"));
  if (!std::isfinite(info.RateHz) || info.RateHz <= 0)
    return Status::Error(ErrorKind::Damaged,
                         Str("the decoded sound declares a rate of ", info.RateHz, " Hz"));
  if (info.Bits != 64 && !IsPcmDepth(info.Bits))
    return Status::Error(ErrorKind::Damaged,
                         Str("the decoded sound declares ", info.Bits, "-bit samples"));
  return Status::Ok();
}

}  // namespace Orvane::Audio
