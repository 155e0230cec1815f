#pragma once

#include <QString>
#include <QStringList>

#include "ui/widgets/save_dialogs.h"

class QWidget;

namespace tovimar::ui {

// Where the Line page reads and writes its files: the save dialog of SaveFileDialogs and an
// open dialog. Tests substitute one that answers at once.
class LineFileDialogs : public SaveFileDialogs {
 public:
  // An open dialog starting in `directory` with the name filters `filters`, the first one
  // selected. Returns the chosen path, empty when cancelled.
  virtual QString ChooseOpenFile(QWidget* parent, const QString& caption, const QString& directory,
                                 const QStringList& filters) = 0;
};

class ModalLineFileDialogs : public LineFileDialogs {
 public:
  QString ChooseSaveFile(QWidget* parent, const QString& caption, const QString& suggested,
                         const QStringList& filters, QString* chosenFilter) override;
  QString ChooseOpenFile(QWidget* parent, const QString& caption, const QString& directory,
                         const QStringList& filters) override;
};

}  // namespace tovimar::ui
