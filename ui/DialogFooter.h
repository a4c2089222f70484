#pragma once
// The foot of the editing dialogs: a label where the engine's refusal of the entry is shown (the
// dialog stays open on it), then OK and Cancel.
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

namespace Orvane {

struct DialogFooter {
  QLabel* Reason;
  QDialogButtonBox* Buttons;
};

// Adds both to the bottom of `layout`; OK accepts `dialog` and Cancel rejects it.
DialogFooter AddDialogFooter(QDialog& dialog, QVBoxLayout& layout);

}  // namespace Orvane
