#include "DialogFooter.h"

namespace Orvane {

DialogFooter AddDialogFooter(QDialog& dialog, QVBoxLayout& layout) {
  auto* reason = new QLabel(&dialog);
  reason->setObjectName(QStringLiteral("reasonLabel"));
  reason->setWordWrap(true);
  reason->setTextInteractionFlags(Qt::TextSelectableByMouse);
  layout.addWidget(reason);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  buttons->setObjectName(QStringLiteral("buttons"));
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  layout.addWidget(buttons);
  return {reason, buttons};
}

}  // namespace Orvane
