#include <memory>

#include "CliCommon.h"
#include "Commands.h"
#include "FormatOptions.h"
#include "Text.h"
#include "WaveConversion.h"

namespace Orvane::Cli {
namespace {

struct ConvertOptions {
  std::filesystem::path File;
  std::filesystem::path Out;
  FormatOptions Format;
};

int RunConvert(const ConvertOptions& options) {
  auto written = ConvertToWave(options.File, options.Out, options.Format.Request(), ReportToTool);
  if (!written) {
    PrintError(written.message());
    return 1;
  }
  const std::uint32_t frameBytes = written->Format.Pcm().BytesPerFrame();
  return WriteToStdout(Str("Wrote ", options.Out.string(), ": ", FormatText(written->Format), ", ",
                           frameBytes ? written->DataSize / frameBytes : 0, " frames",
                           written->Copied ? ", samples copied unchanged" : "", "\n"))
             ? 0
             : 1;
}

}  // namespace

void AddConvertCommand(CLI::App& app, int& exitCode) {
  auto options = std::make_shared<ConvertOptions>();
  CLI::App* command = app.add_subcommand(
      "convert", "Write what packing would store of an audio file, as a WAVE file");
  command->add_option("FILE", options->File, "Any audio file: WAVE, FLAC, Ogg, Opus, MP3, AIFF")
      ->required();
  command->add_option("OUT", options->Out, "The WAVE file to write")->required();
  AddFormatOptions(*command, options->Format);
  command->callback([options, &exitCode] { exitCode = RunConvert(*options); });
}

}  // namespace Orvane::Cli
