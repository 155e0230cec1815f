#include "ui/widgets/save_dialogs.h"

#include <QFileDialog>
#include <QFileInfo>

namespace tovimar::ui {
namespace {

// "*.ext" of a name filter such as "CSV Files (*.csv)"; empty for "All Files (*)".
QString SuffixOf(const QString& filter) {
  const qsizetype star = filter.indexOf(QStringLiteral("(*."));
  if (star < 0) {
    return QString();
  }
  const qsizetype end = filter.indexOf(QLatin1Char(')'), star);
  return filter.mid(star + 3, end < 0 ? -1 : end - star - 3);
}

}  // namespace

QString ModalSaveFileDialogs::ChooseSaveFile(QWidget* parent, const QString& caption,
                                             const QString& suggested, const QStringList& filters,
                                             QString* chosenFilter) {
  QFileDialog dialog(parent, caption, QFileInfo(suggested).absolutePath());
  // Qt's own dialog on every desktop, as the window's open dialog.
  dialog.setOption(QFileDialog::DontUseNativeDialog, true);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setNameFilters(filters);
  if (!filters.isEmpty()) {
    dialog.selectNameFilter(filters.front());
    dialog.setDefaultSuffix(SuffixOf(filters.front()));
  }
  QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                   [&dialog](const QString& filter) { dialog.setDefaultSuffix(SuffixOf(filter)); });
  dialog.selectFile(QFileInfo(suggested).fileName());
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().size() != 1) {
    return QString();
  }
  if (chosenFilter != nullptr) {
    *chosenFilter = dialog.selectedNameFilter();
  }
  return dialog.selectedFiles().front();
}

}  // namespace tovimar::ui
