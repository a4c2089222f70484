#include <memory>

#include "CliCommon.h"
#include "Commands.h"
#include "FormatOptions.h"
#include "PathUtf8.h"
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
    PrintError(written.status());
    return 1;
  }
  const std::uint32_t frameBytes = written->Format.Pcm().BytesPerFrame();
  return WriteToStdout(Str("Wrote ", PathToUtf8(options.Out), ": ", FormatText(written->Format), ", ",
                           frameBytes ? written->DataSize / frameBytes : 0, " frames",
                           written->Copied ? ", samples copied unchanged" : "", "\n"))
             ? 0
             : 1;
}

}  // namespace

void AddConvertCommand(CLI::App& app, Tool& tool) {
  auto options = std::make_shared<ConvertOptions>();
  CLI::App* command = app.add_subcommand(
      "convert", "Write what packing would store of an audio file, as a WAVE file");
  AddPath(*command, tool, "FILE", options->File, "Any audio file: WAVE, FLAC, Ogg, Opus, MP3, AIFF",
          ValueKind::File)
      ->required();
  AddPath(*command, tool, "OUT", options->Out, "The WAVE file to write", ValueKind::File)->required();
  AddFormatOptions(*command, options->Format);
  command->callback([options, &tool] { tool.ExitCode = RunConvert(*options); });
}

}  // namespace Orvane::Cli
