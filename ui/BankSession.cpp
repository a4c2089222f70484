#include "BankSession.h"

#include <algorithm>
#include <exception>
#include <numeric>
#include <utility>

#include "PathUtf8.h"
#include "SoundExport.h"
#include "SoundFileName.h"
#include "SoundReplacement.h"
#include "Text.h"

namespace Orvane {
namespace {

// "; 1 warning (see Messages)", or nothing without warnings.
std::string WarningsNote(int warnings) {
  if (warnings == 0) return {};
  return Str("; ", warnings, warnings == 1 ? " warning" : " warnings", " (see Messages)");
}

}  // namespace

BankSession::BankSession(CSoundEditor& editor, SessionServices services, MessageSink messages)
    : editor_(editor), services_(std::move(services)), messages_(std::move(messages)) {}

BankState BankSession::State() const {
  return {editor_.Loaded(), editor_.IsModified(), editor_.BankPath(), editor_.UndoName(),
          editor_.RedoName()};
}

std::filesystem::path BankSession::FolderStart() const {
  return folderStart_.value_or(services_.OutputFolder);
}

void BankSession::Log(const Report& report) const {
  services_.Console(report);
  std::string text = report.Line;
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  messages_({std::chrono::system_clock::now(), report.Sound, report.Kind, std::move(text)});
}

CommandOutcome BankSession::Failed(const Status& failure) const {
  Log({ReportKind::Warning, failure.message() + "\n", failure.where().Sound});
  CommandOutcome outcome{failure, failure.message()};
  outcome.Warnings = 1;
  return outcome;
}

CommandOutcome BankSession::Open(const std::filesystem::path& bank) {
  // Remembered before loading, so that a file that fails to load is where the next dialog starts.
  openStart_ = bank;
  const Status loaded = editor_.LoadBank(bank);
  CommandOutcome outcome = loaded ? CommandOutcome{loaded, ""} : Failed(loaded);
  // A bank of no sounds makes the engine give up the one it had, and its rows go with it; any
  // other failure leaves the bank and its rows as they were.
  if (loaded || editor_.Count() == 0) {
    outcome.ListChange = CommandOutcome::List::Refill;
    comparison_.reset();  // another bank: the comparison was the old one's
  }
  return outcome;
}

CommandOutcome BankSession::Save(const std::filesystem::path& target, bool force) {
  const Status saved = editor_.Save(target, {.Force = force});
  if (!saved)
    return Failed(saved.kind() == ErrorKind::ChangedOnDisk
                      ? saved.Suffixed(" (File > Save As... over it does)")
                      : saved);
  return {saved, Str("Saved ", PathToUtf8(target)), CommandOutcome::List::Offsets};
}

CommandOutcome BankSession::Export(const std::vector<std::uint32_t>& indexes) {
  const std::filesystem::path& folder = services_.OutputFolder;
  if (indexes.size() == 1) {
    if (Status exported = editor_.Export(indexes[0], folder); !exported) return Failed(exported);
    return {Status::Ok(), ExportSummary(indexes[0], editor_.Entry(indexes[0]).Entry, folder)};
  }
  return ExportEach(indexes);
}

CommandOutcome BankSession::ExportAll() {
  if (editor_.Count() == 0) return {};
  std::vector<std::uint32_t> all(editor_.Count());
  std::iota(all.begin(), all.end(), 0u);
  return ExportEach(all);
}

CommandOutcome BankSession::ExportEach(const std::vector<std::uint32_t>& indexes) {
  const std::filesystem::path& folder = services_.OutputFolder;
  const std::vector<Status> results = ExportSounds(editor_, indexes, folder);
  CommandOutcome outcome{Status::Ok(), ExportSummary(results, folder)};
  for (const Status& exported : results) {
    if (exported) continue;
    Log({ReportKind::Warning, exported.message() + "\n", exported.where().Sound});
    ++outcome.Warnings;
  }
  return outcome;
}

std::optional<std::vector<std::filesystem::path>> BankSession::ExportForDrag(
    const std::vector<std::uint32_t>& indexes, const std::filesystem::path& folder) {
  std::vector<std::filesystem::path> files;
  const std::vector<Status> results = ExportSounds(editor_, indexes, folder);
  for (std::size_t i = 0; i < indexes.size(); ++i) {
    if (!results[i]) {
      Log({ReportKind::Warning, results[i].message() + "\n", indexes[i]});
      return std::nullopt;
    }
    files.push_back(folder / ExportFileName(indexes[i], editor_.Entry(indexes[i]).Entry));
  }
  return files;
}

CommandOutcome BankSession::Create(const std::filesystem::path& target) {
  // Bank creation's progress lines and warnings show on the status line as well.
  CommandOutcome outcome;
  const Reporter report = [&](const Report& line) {
    if (line.Kind == ReportKind::Progress) {
      services_.Console(line);
    } else {
      Log(line);
      if (line.Kind == ReportKind::Warning) ++outcome.Warnings;
    }
    outcome.Line = line.Line.substr(0, line.Line.find_last_not_of("\r\n") + 1);
  };
  Status created = Status::Ok();
  // Nothing that goes wrong while a bank is made may end the program.
  try {
    created = CSoundEditor::CreateBank(services_.OutputFolder, target, {}, report);
  } catch (const std::exception& e) {
    created = Status::Error(ErrorKind::Failed, e.what());
  }
  if (!created) return Failed(created.Prefixed(Str("cannot create the bank ", PathToUtf8(target), ": ")));
  return outcome;
}

CommandOutcome BankSession::Listen(std::uint32_t index) {
  if (Status played = editor_.Play(index); !played) return Failed(played);
  return {Status::Ok(), Str("Playing sound ", SoundLabel(index, editor_.Entry(index).Entry))};
}

CommandOutcome BankSession::Stop() {
  return {Status::Ok(), editor_.Playback().Stop() ? "Stopped the sound" : "No sound is playing"};
}

std::string BankSession::NamesToCopy(const std::vector<std::uint32_t>& indexes) const {
  std::string names;
  for (const std::uint32_t index : indexes)
    names += Str(names.empty() ? "" : "\n", ExportStem(index, editor_.Entry(index).Entry));
  return names;
}

template <typename Edit>
CommandOutcome BankSession::ApplyEdit(const Edit& edit) {
  int warnings = 0;
  const Reporter report = [&](const Report& line) {
    Log(line);
    if (line.Kind == ReportKind::Warning) ++warnings;
  };
  auto done = edit(report);
  if (!done) {
    CommandOutcome failed = Failed(done.status());
    failed.Warnings += warnings;
    return failed;
  }
  CommandOutcome outcome{Status::Ok(), done->Summary + WarningsNote(warnings),
                         CommandOutcome::List::Rows, done->Rows};
  outcome.Warnings = warnings;
  FollowComparison(outcome);
  return outcome;
}

CommandOutcome BankSession::Replace(std::uint32_t index, const std::filesystem::path& file,
                                    const ReplaceOptions& options) {
  return ApplyEdit(
      [&](const Reporter& report) { return ReplaceSound(editor_, index, file, options, report); });
}

CommandOutcome BankSession::Insert(std::uint32_t at, const std::filesystem::path& file) {
  CommandOutcome outcome =
      ApplyEdit([&](const Reporter& report) { return InsertSound(editor_, at, file, {}, report); });
  if (outcome.Result) outcome.Focus = at;
  return outcome;
}

CommandOutcome BankSession::Remove(std::vector<std::uint32_t> indexes) {
  return ApplyEdit([&](const Reporter&) { return editor_.Remove(std::move(indexes)); });
}

CommandOutcome BankSession::SetFields(std::uint32_t index, const FieldEdit& fields) {
  return ApplyEdit([&](const Reporter&) { return editor_.SetFields(index, fields); });
}

Result<std::vector<Replacement>> BankSession::FindReplacements(const std::filesystem::path& folder) {
  folderStart_ = folder;
  return Orvane::FindReplacements(folder, editor_.Count());
}

Result<std::vector<Replacement>> BankSession::MatchReplacements(
    const std::vector<std::filesystem::path>& files) const {
  return Orvane::MatchReplacements(files, editor_.Count());
}

DropRequest BankSession::Dropped(const std::vector<std::filesystem::path>& files,
                                 std::optional<std::uint32_t> row) {
  if (files.empty()) return {};
  const std::filesystem::path& first = files.front();
  if (files.size() == 1 && IsBankFile(first)) return {.What = DropRequest::Kind::OpenBank, .File = first};
  std::error_code unreadable;  // then it is no folder, and the drop goes on as a file's
  if (files.size() > 1 || std::filesystem::is_directory(first, unreadable)) {
    if (!editor_.Loaded()) return {};
    if (files.size() == 1)
      return {.What = DropRequest::Kind::ReplaceMany, .Found = FindReplacements(first),
              .Title = "Replace from " + PathToUtf8(first.filename())};
    return {.What = DropRequest::Kind::ReplaceMany, .Found = MatchReplacements(files),
            .Title = "Replace from Dropped Files"};
  }
  if (!row)
    return {.What = DropRequest::Kind::Explain,
            .Line = Str("Drop an audio file on the row of the sound it replaces, or a bank (",
                        kBankExtension, ") to open it")};
  return {.What = DropRequest::Kind::ReplaceSound, .File = first, .Sound = *row};
}

std::vector<ReplacementPreview> BankSession::Preview(const std::vector<Replacement>& replacements,
                                                     const ReplaceOptions& options) const {
  return PreviewReplacements(editor_, replacements, options);
}

CommandOutcome BankSession::ReplaceMany(const std::vector<Replacement>& replacements,
                                        const ReplaceOptions& options) {
  return ApplyEdit([&](const Reporter& report) {
    return ReplaceSounds(editor_, replacements, options, report);
  });
}

std::optional<Audio::Levels> BankSession::LevelsOf(std::uint32_t index) const {
  if (auto known = editor_.Levels().Known(index)) return known;
  auto job = editor_.SamplesOf(index);
  if (!job) return std::nullopt;
  auto measured = editor_.Levels().Measure(*job);
  return measured ? std::optional(*measured) : std::nullopt;
}

CommandOutcome BankSession::Step(const char* done, const std::optional<std::string>& name,
                                 std::optional<RowChange> rows) {
  if (!rows || !name) return {};
  CommandOutcome outcome{Status::Ok(), Str(done, ": ", *name), CommandOutcome::List::Rows,
                         std::move(*rows)};
  FollowComparison(outcome);
  return outcome;
}

void BankSession::FollowComparison(CommandOutcome& outcome) {
  if (!comparison_) return;
  // A comparison that cannot read the other bank any more ends, and says why where it shows.
  if (Status followed = comparison_->Follow(editor_, outcome.Rows); !followed) {
    comparison_.reset();
    Log({ReportKind::Warning, "the comparison ended: " + followed.message() + "\n"});
    ++outcome.Warnings;
  }
}

std::string BankSession::ComparedLine() const {
  std::size_t differ = 0;
  for (const SoundDiff& d : comparison_->Differences()) differ += d.Change != SoundChange::Removed;
  const std::size_t past = comparison_->Differences().size() - differ;
  std::string line = Str("Compared with ", PathToUtf8(comparison_->OtherPath().filename()), ": ",
                         differ, differ == 1 ? " sound differs" : " sounds differ");
  if (past > 0)
    line += Str("; ", past, past == 1 ? " sound" : " sounds", " of it lie past this bank's end");
  return line;
}

CommandOutcome BankSession::CompareWith(const std::filesystem::path& other) {
  auto opened = BankComparison::Open(other, services_.ComparedOutput);
  if (!opened) return Failed(opened.status());
  if (Status compared = opened->Compare(editor_); !compared) return Failed(compared);
  comparison_.emplace(std::move(*opened));
  return {Status::Ok(), ComparedLine(), CommandOutcome::List::Changes};
}

CommandOutcome BankSession::StopComparing() {
  if (!comparison_) return {};
  comparison_.reset();
  return {Status::Ok(), "Stopped comparing", CommandOutcome::List::Changes};
}

std::optional<SoundDiff> BankSession::ChangeOf(std::uint32_t index) const {
  return comparison_ ? comparison_->ChangeOf(index) : std::nullopt;
}

CommandOutcome BankSession::TakeFromCompared(const std::vector<std::uint32_t>& indexes) {
  if (!comparison_) return {};
  const std::string name = PathToUtf8(comparison_->OtherPath().filename());
  return ApplyEdit([&](const Reporter&) { return editor_.TakeFrom(comparison_->Other(), indexes, name); });
}

CommandOutcome BankSession::ListenToCompared(std::uint32_t index) {
  if (!comparison_) return {};
  if (Status played = comparison_->Other().Play(index); !played) return Failed(played);
  return {Status::Ok(), Str("Playing sound ", SoundLabel(index, comparison_->Other().Entry(index).Entry),
                            " of ", PathToUtf8(comparison_->OtherPath().filename()))};
}

CommandOutcome BankSession::Undo() {
  const auto name = editor_.UndoName();
  return Step("Undone", name, editor_.Undo());
}

CommandOutcome BankSession::Redo() {
  const auto name = editor_.RedoName();
  return Step("Redone", name, editor_.Redo());
}

}  // namespace Orvane
