#pragma once
// The decoder program's side of decoding in another process: it reads the request its parent
// sent, sets its own limits, opens the source for the request and sends its records.
#include <functional>
#include <memory>

#include "DecoderProtocol.h"
#include "FloatSource.h"

namespace Orvane::Audio {

using RequestOpener = std::function<Result<std::unique_ptr<FloatSource>>(const DecodeRequest&)>;

// The whole life of a decoder program; its answer is the program's exit status: 0 when it
// answered the request, 1 when the parent could not be read or stopped listening,
// kOutOfMemoryExit when memory ran out under the limit.
int ServeDecodeRequest(const RequestOpener& open);

}  // namespace Orvane::Audio
