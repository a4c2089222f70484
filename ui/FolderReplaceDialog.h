#pragma once
// What replacing sounds from a folder (or from dropped files) would do, before anything is
// decoded: one row per file, with the sound it replaces, both lengths, the conversion it gets
// and what is worth a second look. Rows can be unticked; OK replaces the ticked ones as one
// edit, and on a refusal the reason shows and the dialog stays open.
#include <functional>
#include <vector>

#include <QDialog>

#include "FolderReplace.h"

class QCheckBox;
class QLabel;
class QTableWidget;

namespace Orvane {

class FolderReplaceDialog final : public QDialog {
  Q_OBJECT

 public:
  using Apply = std::function<Status(const std::vector<Replacement>& ticked, bool matchLoudness)>;

  // `matchLoudness`: whether its Match Loudness box starts ticked.
  FolderReplaceDialog(const QString& title, const std::vector<ReplacementPreview>& previews,
                      bool matchLoudness, Apply apply, QWidget* parent = nullptr);

  // The ticked rows' replacements, in the rows' order, with those of unchanged files, which
  // leave their sounds as they are.
  std::vector<Replacement> Ticked() const;
  void accept() override;

 private:
  struct Row {
    Replacement What;
    bool Unchanged = false;
  };
  std::vector<Row> rows_;
  Apply apply_;
  QTableWidget* table_ = nullptr;
  QCheckBox* matchLoudness_ = nullptr;
  QLabel* reason_ = nullptr;
};

}  // namespace Orvane
