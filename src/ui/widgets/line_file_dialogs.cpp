#include "ui/widgets/line_file_dialogs.h"

#include <QFileDialog>

namespace tovimar::ui {

QString ModalLineFileDialogs::ChooseSaveFile(QWidget* parent, const QString& caption,
                                             const QString& suggested, const QStringList& filters,
                                             QString* chosenFilter) {
  return ModalSaveFileDialogs().ChooseSaveFile(parent, caption, suggested, filters, chosenFilter);
}

QString ModalLineFileDialogs::ChooseOpenFile(QWidget* parent, const QString& caption,
                                             const QString& directory, const QStringList& filters) {
  return QFileDialog::getOpenFileName(parent, caption, directory, filters.join(QStringLiteral(";;")),
                                      nullptr, QFileDialog::DontUseNativeDialog);
}

}  // namespace tovimar::ui
