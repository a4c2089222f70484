// orvane-decoder: decodes one audio file for the program that started it, in a process of its
// own, so that a file that drives a decoding library astray costs that process alone.
#include "Decoder.h"
#include "DecoderService.h"

int main() {
  using namespace Orvane::Audio;
  return ServeDecodeRequest(
      [](const DecodeRequest& request) { return OpenDecoder(request.File, request.FileContainer); });
}
