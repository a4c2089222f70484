#include "SoundPropertiesDialog.h"

#include <utility>

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "DialogFooter.h"
#include "EntryCells.h"
#include "SoundEdits.h"
#include "SoundFormat.h"

namespace Orvane {
namespace {

// A whole number from 0 to 4294967295, as a field holds it.
std::optional<std::uint32_t> ParseField(const QString& text) {
  bool ok = false;
  const qulonglong value = text.trimmed().toULongLong(&ok, 10);
  if (!ok || value > 0xFFFFFFFFull) return std::nullopt;
  return static_cast<std::uint32_t>(value);
}

}  // namespace

SoundPropertiesDialog::SoundPropertiesDialog(std::uint32_t index, const BankEntry& element,
                                             std::optional<Audio::Levels> levels, Apply apply,
                                             QWidget* parent)
    : QDialog(parent), apply_(std::move(apply)), element_(element), index_(index) {
  setObjectName(QStringLiteral("SoundPropertiesDialog"));
  setWindowTitle(QStringLiteral("Properties of sound %1").arg(index));
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  layout->addLayout(form);

  name_ = new QLineEdit(QString::fromStdString(CellText(index, element, kNameColumn)), this);
  name_->setObjectName(QStringLiteral("nameEdit"));
  name_->setToolTip(QString::fromStdString(Capitalised(NameRuleText())));
  form->addRow(QStringLiteral("Name"), name_);
  const TbSoundEntry& h = element.Entry;
  form->addRow(QStringLiteral("Unknown"), unknown_ = AddNumber("unknownEdit", h.Unknown));
  form->addRow(QStringLiteral("LoopStart"), loopStart_ = AddNumber("loopStartEdit", h.LoopStart));
  form->addRow(QStringLiteral("LoopEnd"), loopEnd_ = AddNumber("loopEndEdit", h.LoopEnd));

  // What the sound is, to read beside what can be set.
  const auto seconds = element.Damaged() ? std::nullopt : SecondsOf(h);
  const auto addFact = [&](const char* title, const char* objectName, const QString& text) {
    auto* fact = new QLabel(text, this);
    fact->setObjectName(QString::fromLatin1(objectName));
    fact->setTextInteractionFlags(Qt::TextSelectableByMouse);
    form->addRow(QString::fromLatin1(title), fact);
  };
  addFact("Length", "lengthLabel",
          seconds ? QStringLiteral("%1 s").arg(*seconds, 0, 'f', 3) : QStringLiteral("-"));
  addFact("Format", "formatLabel", QString::fromStdString(FormatText(SoundFormat::Of(h))));
  addFact("Peak", "peakLabel",
          levels ? QString::fromStdString(LevelText(levels->PeakDbfs) + " dBFS")
                 : QStringLiteral("-"));
  addFact("Loudness", "loudnessLabel",
          levels ? QString::fromStdString(LevelText(levels->LoudnessLufs) + " LUFS")
                 : QStringLiteral("-"));

  reason_ = AddDialogFooter(*this, *layout).Reason;
  name_->setFocus();
}

QLineEdit* SoundPropertiesDialog::AddNumber(const char* objectName, std::uint32_t value) {
  auto* edit = new QLineEdit(QString::number(value), this);
  edit->setObjectName(QString::fromLatin1(objectName));
  edit->setToolTip(QStringLiteral("0 to 4294967295"));
  return edit;
}

std::optional<FieldEdit> SoundPropertiesDialog::ChangedFields() {
  FieldEdit fields;
  if (name_->text() != QString::fromStdString(CellText(index_, element_, kNameColumn)))
    fields.Name = name_->text().toStdString();
  const struct {
    QLineEdit* edit;
    const char* title;
    std::uint32_t now;
    std::optional<std::uint32_t>& field;
  } numbers[] = {{unknown_, "Unknown", element_.Entry.Unknown, fields.Unknown},
                 {loopStart_, "LoopStart", element_.Entry.LoopStart, fields.LoopStart},
                 {loopEnd_, "LoopEnd", element_.Entry.LoopEnd, fields.LoopEnd}};
  for (const auto& number : numbers) {
    const auto value = ParseField(number.edit->text());
    if (!value) {
      reason_->setText(QStringLiteral("%1 must be a whole number from 0 to 4294967295, not \"%2\"")
                           .arg(QString::fromLatin1(number.title), number.edit->text()));
      number.edit->setFocus();
      number.edit->selectAll();
      return std::nullopt;
    }
    if (*value != number.now) number.field = value;
  }
  return fields;
}

void SoundPropertiesDialog::accept() {
  const auto fields = ChangedFields();
  if (!fields) return;
  if (!fields->Empty()) {
    if (Status applied = apply_(*fields); !applied) {
      reason_->setText(QString::fromStdString(applied.message()));
      return;
    }
  }
  QDialog::accept();
}

}  // namespace Orvane
