// replace, set, insert and remove: each loads a bank, makes one edit and saves it, over the bank
// or into --output, atomically. Nothing is written unless the edit and the save both succeed.
// replace --from replaces many sounds as one edit, and writes nothing when none changed.
#include <charconv>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "BankDiff.h"
#include "CliCommon.h"
#include "Commands.h"
#include "FormatOptions.h"
#include "PathUtf8.h"
#include "SoundReplacement.h"
#include "Text.h"

namespace Orvane::Cli {
namespace {

struct SaveTarget {
  std::filesystem::path Bank;
  std::optional<std::filesystem::path> Output;
  bool Force = false;
};

using Edit = std::function<Result<EditOutcome>(CSoundEditor&)>;

// What an edit that changed nothing does: saves all the same (an edit of one sound, so that the
// command's output is the bank), or leaves the bank alone (a batch that found nothing to do).
enum class Unchanged { Save, Skip };

int RunEdit(const SaveTarget& target, const Edit& edit, Unchanged unchanged = Unchanged::Save) {
  CSoundEditor editor;
  if (!LoadBankOrReport(editor, target.Bank)) return 1;
  auto outcome = edit(editor);
  if (!outcome) {
    PrintError(outcome.status().Prefixed(PathToUtf8(target.Bank) + ": "));
    return 1;
  }
  std::string details;
  for (const std::string& line : outcome->Details) details += line + "\n";
  if (unchanged == Unchanged::Skip && outcome->Rows.Rows.empty())
    return WriteToStdout(Str(details, outcome->Summary, "; ", PathToUtf8(target.Bank),
                             " is left as it was\n"))
               ? 0
               : 1;
  const std::filesystem::path out = target.Output.value_or(target.Bank);
  if (Status saved = editor.Save(out, {target.Force}); !saved) {
    PrintError(saved.kind() == ErrorKind::ChangedOnDisk ? saved.Suffixed(" (--force)") : saved);
    return 1;
  }
  return WriteToStdout(Str(details, outcome->Summary, "; saved ", PathToUtf8(out), "\n")) ? 0 : 1;
}

void AddSaveOptions(CLI::App& command, Tool& tool, SaveTarget& target) {
  AddPath(command, tool, "BANK", target.Bank, BankHelp(), ValueKind::Bank)->required();
  AddPath(command, tool, "-o,--output", target.Output, "Save into this file instead of over BANK",
          ValueKind::Bank);
  command.add_flag("--force", target.Force,
                   "Save over BANK even when another program changed it since it was loaded");
}

struct ReplaceCommand {
  SaveTarget Target;
  // INDEX FILE; nothing with --from; the sounds to take with --from-bank.
  std::vector<std::string> Arguments;
  std::optional<std::filesystem::path> From;
  std::optional<std::filesystem::path> FromBank;
  bool KeepFormat = false;
  bool MatchLoudness = false;

  ReplaceOptions Options() const {
    return {KeepFormat ? ReplaceFormat::FilesOwn : ReplaceFormat::SoundsOwn, MatchLoudness};
  }
};

struct SetOptions {
  SaveTarget Target;
  std::uint32_t Index = 0;
  FieldEdit Fields;
};

struct InsertCommandOptions {
  SaveTarget Target;
  std::uint32_t Index = 0;
  std::filesystem::path File;
  std::optional<std::string> Name;
  FormatOptions Format;
};

struct RemoveOptions {
  SaveTarget Target;
  std::vector<std::uint32_t> Indexes;
};

// A sound's number on the command line: a usage error when it is none.
std::uint32_t IndexArgument(const std::string& text) {
  std::uint32_t index = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), index);
  if (error != std::errc() || end != text.data() + text.size())
    throw CLI::ValidationError(Str("INDEX: ", text, " is not a sound's number"));
  return index;
}

// replace --from-bank: the sounds OTHER holds otherwise, or the ones asked for, taken whole.
Result<EditOutcome> TakeFromBank(CSoundEditor& editor, const std::filesystem::path& other,
                                 const std::vector<std::uint32_t>& asked) {
  CSoundEditor theirs;
  if (Status loaded = theirs.LoadBank(other); !loaded) return loaded;
  std::vector<std::uint32_t> indexes = asked;
  if (indexes.empty()) {
    auto diffs = CompareBanks(*EditedBank(editor), *EditedBank(theirs));
    if (!diffs) return diffs.status();
    for (const SoundDiff& d : *diffs)
      if (d.Change == SoundChange::Changed) indexes.push_back(d.Index);
  }
  return editor.TakeFrom(theirs, std::move(indexes), PathToUtf8(other.filename()));
}

}  // namespace

void AddEditCommands(CLI::App& app, Tool& tool) {
  auto replace = std::make_shared<ReplaceCommand>();
  CLI::App* command = app.add_subcommand(
      "replace", "Replace a sound's samples with an audio file, keeping its name and fields");
  AddSaveOptions(*command, tool, replace->Target);
  tool.Kinds.Tag(
      command
          ->add_option("INDEX", replace->Arguments,
                       "The sound to replace, then FILE: any audio file (WAVE, FLAC, Ogg, Opus, "
                       "MP3, AIFF); with --from-bank, the sounds to take (default: every one that "
                       "differs)")
          ->type_name("FILE"),
      ValueKind::File);
  CLI::Option* from = AddPath(*command, tool, "--from", replace->From,
                              "Replace every sound that a file <index>_<name>.<ext> of DIR names, "
                              "as one edit",
                              ValueKind::Folder)
                          ->type_name("DIR");
  CLI::Option* keepFormat =
      command->add_flag("--keep-format", replace->KeepFormat,
                        "Keep the file's own format instead of converting to the sound's");
  CLI::Option* matchLoudness =
      command->add_flag("--match-loudness", replace->MatchLoudness,
                        "Give the new samples the loudness of the sound they replace");
  // A sound taken whole keeps its own samples: converting or matching them has no place there.
  AddPath(*command, tool, "--from-bank", replace->FromBank,
          "Take sounds whole from OTHER: every header byte and the samples, as one edit",
          ValueKind::Bank)
      ->type_name("OTHER")
      ->excludes(from)
      ->excludes(keepFormat)
      ->excludes(matchLoudness);
  command->callback([replace, &tool] {
    const std::vector<std::string>& arguments = replace->Arguments;
    if (replace->FromBank) {
      std::vector<std::uint32_t> indexes;
      for (const std::string& text : arguments) indexes.push_back(IndexArgument(text));
      tool.ExitCode = RunEdit(
          replace->Target,
          [&](CSoundEditor& editor) { return TakeFromBank(editor, *replace->FromBank, indexes); },
          Unchanged::Skip);
      return;
    }
    if (replace->From) {
      if (!arguments.empty()) throw CLI::ValidationError("--from DIR takes no INDEX or FILE");
      tool.ExitCode = RunEdit(
          replace->Target,
          [&](CSoundEditor& editor) -> Result<EditOutcome> {
            auto found = FindReplacements(*replace->From, editor.Count());
            if (!found) return found.status();
            return ReplaceSounds(editor, *found, replace->Options(), ReportToTool);
          },
          Unchanged::Skip);
      return;
    }
    if (arguments.size() != 2)
      throw CLI::ValidationError("give INDEX and FILE, --from DIR or --from-bank OTHER");
    const std::uint32_t index = IndexArgument(arguments[0]);
    tool.ExitCode = RunEdit(replace->Target, [&](CSoundEditor& editor) {
      return ReplaceSound(editor, index, Utf8ToPath(arguments[1]), replace->Options(), ReportToTool);
    });
  });

  auto set = std::make_shared<SetOptions>();
  command = app.add_subcommand("set", "Set a sound's name, Unknown, LoopStart or LoopEnd");
  AddSaveOptions(*command, tool, set->Target);
  command->add_option("INDEX", set->Index, "The sound to change")->required();
  const auto number = CLI::Range(std::uint32_t{0}, std::uint32_t{4294967295u});
  command->add_option("--name", set->Fields.Name, Capitalised(NameRuleText()));
  command->add_option("--unknown", set->Fields.Unknown, "0 to 4294967295")->check(number);
  command->add_option("--loop-start", set->Fields.LoopStart, "0 to 4294967295")->check(number);
  command->add_option("--loop-end", set->Fields.LoopEnd, "0 to 4294967295")->check(number);
  command->callback([set, &tool] {
    // A set that changes nothing is a mistake in the command line.
    if (set->Fields.Empty())
      throw CLI::ValidationError("give at least one of --name, --unknown, --loop-start, --loop-end");
    tool.ExitCode = RunEdit(set->Target, [&](CSoundEditor& editor) {
      return editor.SetFields(set->Index, set->Fields);
    });
  });

  auto insert = std::make_shared<InsertCommandOptions>();
  command = app.add_subcommand("insert", "Insert a sound made from an audio file");
  AddSaveOptions(*command, tool, insert->Target);
  command->add_option("INDEX", insert->Index, "Its place: 0 to the count (the count appends)")
      ->required();
  AddPath(*command, tool, "FILE", insert->File, "Any audio file: WAVE, FLAC, Ogg, Opus, MP3, AIFF",
          ValueKind::File)
      ->required();
  command->add_option("--name", insert->Name, "Its name (default: the file's stem)");
  AddFormatOptions(*command, insert->Format);
  command->callback([insert, &tool] {
    tool.ExitCode = RunEdit(insert->Target, [&](CSoundEditor& editor) {
      return InsertSound(editor, insert->Index, insert->File,
                         {insert->Name, insert->Format.Request()}, ReportToTool);
    });
  });

  auto remove = std::make_shared<RemoveOptions>();
  command = app.add_subcommand("remove", "Remove sounds; a bank keeps at least one");
  AddSaveOptions(*command, tool, remove->Target);
  command->add_option("INDEX", remove->Indexes, "The sounds to remove")->required();
  command->callback([remove, &tool] {
    tool.ExitCode = RunEdit(remove->Target,
                       [&](CSoundEditor& editor) { return editor.Remove(remove->Indexes); });
  });
}

}  // namespace Orvane::Cli
