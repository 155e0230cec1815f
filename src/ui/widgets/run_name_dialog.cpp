#include "ui/widgets/run_name_dialog.h"

#include <QInputDialog>
#include <QLineEdit>

namespace tovimar::ui {

std::optional<QString> ModalRunNameDialog::AskRunName(QWidget* parent, const QString& proposed) {
  bool ok = false;
  const QString name = QInputDialog::getText(parent, QStringLiteral("Pin Run"),
                                             QStringLiteral("Name of the pinned run:"),
                                             QLineEdit::Normal, proposed, &ok);
  if (!ok) {
    return std::nullopt;
  }
  return name;
}

}  // namespace tovimar::ui
