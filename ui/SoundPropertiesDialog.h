#pragma once
// Edits the fields of a sound that are the user's to set: Name, Unknown, LoopStart, LoopEnd.
// OK hands the changed fields to the engine and closes only when the engine took them;
// otherwise the reason shows in the dialog, which stays open for another try.
#include <cstdint>
#include <functional>
#include <optional>

#include <QDialog>

#include "Loudness.h"
#include "SoundEdits.h"
#include "TbSoundBank.h"

class QLabel;
class QLineEdit;

namespace Orvane {

class SoundPropertiesDialog final : public QDialog {
  Q_OBJECT

 public:
  // `apply` makes the edit; its failure is the reason the dialog shows.
  using Apply = std::function<Status(const FieldEdit&)>;

  // `levels`: the sound's peak and loudness, shown beside its length and format; nothing for a
  // sound that has none.
  SoundPropertiesDialog(std::uint32_t index, const BankEntry& element,
                        std::optional<Audio::Levels> levels, Apply apply,
                        QWidget* parent = nullptr);

  void accept() override;

 private:
  // The fields whose text differs from what they showed; nothing, with the reason shown, when
  // a number is not one.
  std::optional<FieldEdit> ChangedFields();
  QLineEdit* AddNumber(const char* objectName, std::uint32_t value);

  Apply apply_;
  BankEntry element_;
  std::uint32_t index_;
  QLineEdit* name_ = nullptr;
  QLineEdit* unknown_ = nullptr;
  QLineEdit* loopStart_ = nullptr;
  QLineEdit* loopEnd_ = nullptr;
  QLabel* reason_ = nullptr;
};

}  // namespace Orvane
