#include "BankSession.h"

#include <exception>
#include <numeric>
#include <utility>

#include "SoundFileName.h"
#include "Text.h"

namespace Orvane {

BankSession::BankSession(CSoundEditor& editor, Reporter console)
    : editor_(editor), console_(std::move(console)) {}

BankState BankSession::State() const {
  return {editor_.Loaded(), editor_.IsModified(), editor_.BankPath(), editor_.UndoName(),
          editor_.RedoName()};
}

CommandOutcome BankSession::Failed(const Status& failure) const {
  console_(ReportKind::Warning, failure.message() + "\n");
  return {failure, failure.message()};
}

CommandOutcome BankSession::Open(const std::filesystem::path& bank) {
  // Remembered before loading, so that a file that fails to load is where the next dialog starts.
  openStart_ = bank;
  const Status loaded = editor_.LoadBank(bank);
  CommandOutcome outcome = loaded ? CommandOutcome{loaded, ""} : Failed(loaded);
  // A bank of no sounds makes the engine give up the one it had, and its rows go with it; any
  // other failure leaves the bank and its rows as they were.
  if (loaded || editor_.Count() == 0) outcome.ListChange = CommandOutcome::List::Refill;
  return outcome;
}

CommandOutcome BankSession::Save(const std::filesystem::path& target, bool force) {
  const Status saved = editor_.Save(target, {.Force = force});
  if (!saved)
    return Failed(saved.kind() == ErrorKind::ChangedOnDisk
                      ? saved.Suffixed(" (File > Save As... over it does)")
                      : saved);
  return {saved, Str("Saved ", target.string()), CommandOutcome::List::Offsets};
}

CommandOutcome BankSession::ExportSound(std::uint32_t index) {
  const std::filesystem::path folder = OutputFolder();
  if (Status exported = editor_.ExportTo(index, folder); !exported) return Failed(exported);
  return {Status::Ok(), ExportSummary(index, editor_.Entry(index).Entry, folder)};
}

CommandOutcome BankSession::ExportAll() {
  if (editor_.Count() == 0) return {};
  const std::filesystem::path folder = OutputFolder();
  std::vector<std::uint32_t> all(editor_.Count());
  std::iota(all.begin(), all.end(), 0u);
  const std::vector<Status> results = editor_.ExportEach(all, folder);
  for (const Status& exported : results)
    if (!exported) console_(ReportKind::Warning, exported.message() + "\n");
  return {Status::Ok(), ExportSummary(results, folder)};
}

CommandOutcome BankSession::Create(const std::filesystem::path& target) {
  // Bank creation's progress lines and warnings show on the status line as well.
  CommandOutcome outcome;
  const Reporter report = [&](ReportKind kind, const std::string& line) {
    console_(kind, line);
    outcome.Line = line.substr(0, line.find_last_not_of("\r\n") + 1);
  };
  Status created = Status::Ok();
  // Nothing that goes wrong while a bank is made may end the program.
  try {
    created = editor_.CreateBank(target, report);
  } catch (const std::exception& e) {
    created = Status::Error(ErrorKind::Failed, e.what());
  }
  if (!created) return Failed(created.Prefixed(Str("cannot create the bank ", target.string(), ": ")));
  return outcome;
}

CommandOutcome BankSession::Listen(std::uint32_t index) {
  if (Status played = editor_.Play(index); !played) return Failed(played);
  return {Status::Ok(), Str("Playing sound ", SoundLabel(index, editor_.Entry(index).Entry))};
}

CommandOutcome BankSession::Stop() {
  return {Status::Ok(), editor_.Stop() ? "Stopped the sound" : "No sound is playing"};
}

std::string BankSession::NameToCopy(std::uint32_t index) const {
  return ExportStem(index, editor_.Entry(index).Entry);
}

template <typename Edit>
CommandOutcome BankSession::ApplyEdit(const Edit& edit) {
  int warnings = 0;
  const Reporter report = [&](ReportKind kind, const std::string& line) {
    console_(kind, line);
    if (kind == ReportKind::Warning) ++warnings;
  };
  auto done = edit(report);
  if (!done) return Failed(done.status());
  CommandOutcome outcome{Status::Ok(), done->Summary, CommandOutcome::List::Rows, done->Rows};
  if (warnings > 0)
    *outcome.Line += Str("; ", warnings, warnings == 1 ? " warning" : " warnings", " on the console");
  return outcome;
}

CommandOutcome BankSession::Replace(std::uint32_t index, const std::filesystem::path& file,
                                    ReplaceFormat format) {
  return ApplyEdit(
      [&](const Reporter& report) { return editor_.Replace(index, file, format, report); });
}

CommandOutcome BankSession::Insert(std::uint32_t at, const std::filesystem::path& file) {
  CommandOutcome outcome =
      ApplyEdit([&](const Reporter& report) { return editor_.Insert(at, file, {}, report); });
  if (outcome.Result) outcome.Focus = at;
  return outcome;
}

CommandOutcome BankSession::Remove(std::vector<std::uint32_t> indexes) {
  return ApplyEdit([&](const Reporter&) { return editor_.Remove(std::move(indexes)); });
}

CommandOutcome BankSession::SetFields(std::uint32_t index, const FieldEdit& fields) {
  return ApplyEdit([&](const Reporter&) { return editor_.SetFields(index, fields); });
}

CommandOutcome BankSession::Step(const char* done, const std::optional<std::string>& name,
                                 std::optional<RowChange> rows) {
  if (!rows || !name) return {};
  return {Status::Ok(), Str(done, ": ", *name), CommandOutcome::List::Rows, std::move(*rows)};
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
