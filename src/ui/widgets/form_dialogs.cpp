#include "ui/widgets/form_dialogs.h"

#include <QComboBox>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

#include "model/conditions.h"
#include "ui/widgets/F_Form.h"

namespace tovimar::ui {

void ModalDialogs::ShowMessage(QWidget* parent, const QString& text) {
  QMessageBox box(QMessageBox::NoIcon, QString::fromUtf8(MessageBoxCaption), text,
                  QMessageBox::Ok, parent);
  box.exec();
}

void ModalDialogs::ShowError(QWidget* parent, const QString& text) {
  QMessageBox box(QMessageBox::Critical, QString::fromUtf8(ErrorBoxCaption), text,
                  QMessageBox::Ok, parent);
  box.exec();
}

void ModalDialogs::ShowFinishForm(TFinishForm* finishForm) { finishForm->exec(); }

QStringList ModalDialogs::ChooseDataFiles(QWidget* parent, const QString& directory) {
  QFileDialog dialog(parent, QStringLiteral("Open Data File"), directory);
  // Qt's own dialog on every desktop, so that the filters read the same everywhere.
  dialog.setOption(QFileDialog::DontUseNativeDialog, true);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  // A typed name need not exist: the loader reports a file it cannot open.
  dialog.setFileMode(QFileDialog::AnyFile);
  // On this system "*.*" would miss names without a dot, so "all files" filters by "*" and
  // only its caption reads "(*.*)".
  const QString allFiles = QStringLiteral("All Files (*)");
  dialog.setNameFilters({QString::fromUtf8(TextFilesFilter), allFiles});
  dialog.selectNameFilter(QString::fromUtf8(TextFilesFilter));
  if (auto* types = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"))) {
    const int index = types->findText(allFiles);
    if (index >= 0) {
      types->setItemText(index, QString::fromUtf8(AllFilesFilter));
    }
  }
  if (dialog.exec() != QDialog::Accepted) {
    return {};
  }
  return dialog.selectedFiles();
}

std::optional<int> ModalDialogs::ChooseLastZone(QWidget* parent, int fromZone) {
  bool ok = false;
  const int zone = QInputDialog::getInt(
      parent, QStringLiteral("Copy to following zones"),
      QStringLiteral("Copy the values of zone %1 into every zone from %2 to:").arg(fromZone).arg(fromZone + 1),
      MaxZones, fromZone + 1, MaxZones, 1, &ok);
  return ok ? std::optional<int>(zone) : std::nullopt;
}

std::unique_ptr<QMessageBox> SaveChangesBox(QWidget* parent, const QString& detail) {
  auto box = std::make_unique<QMessageBox>(QMessageBox::Question, QString::fromUtf8(MessageBoxCaption),
                                           QString::fromUtf8(SaveChangesQuestion),
                                           QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel,
                                           parent);
  box->setInformativeText(detail);
  box->setDefaultButton(QMessageBox::Save);
  box->setEscapeButton(QMessageBox::Cancel);
  return box;
}

SaveChangesAnswer ModalDialogs::AskSaveChanges(QWidget* parent, const QString& detail) {
  const std::unique_ptr<QMessageBox> box = SaveChangesBox(parent, detail);
  switch (box->exec()) {
    case QMessageBox::Save: return SaveChangesAnswer::Save;
    case QMessageBox::Discard: return SaveChangesAnswer::Discard;
    default: return SaveChangesAnswer::Cancel;
  }
}

}  // namespace tovimar::ui
