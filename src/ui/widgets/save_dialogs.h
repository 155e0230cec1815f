#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace tovimar::ui {

// Where the page's buttons save their files. The real one is a modal save dialog; tests
// substitute one that answers at once.
class SaveFileDialogs {
 public:
  virtual ~SaveFileDialogs() = default;

  // A save dialog proposing `suggested` (a full path) with the name filters `filters`, the
  // first one selected. Returns the chosen path, empty when cancelled; `chosenFilter`
  // (when not null) receives the filter the user picked.
  virtual QString ChooseSaveFile(QWidget* parent, const QString& caption, const QString& suggested,
                                 const QStringList& filters, QString* chosenFilter) = 0;
};

class ModalSaveFileDialogs : public SaveFileDialogs {
 public:
  QString ChooseSaveFile(QWidget* parent, const QString& caption, const QString& suggested,
                         const QStringList& filters, QString* chosenFilter) override;
};

}  // namespace tovimar::ui
