#pragma once

#include <memory>
#include <optional>

#include <QString>
#include <QStringList>

class QMessageBox;
class QWidget;

namespace tovimar::ui {

class TFinishForm;

// The answers to "Save changes?".
enum class SaveChangesAnswer { Save, Discard, Cancel };

// Every modal interaction of the main window goes through this interface, so that the
// window can be driven without blocking (tests substitute a recorder).
class FormDialogs {
 public:
  virtual ~FormDialogs() = default;

  // A message box with one line of text and an OK button; returns when it is dismissed.
  virtual void ShowMessage(QWidget* parent, const QString& text) = 0;

  // An error box for a failure that ended an operation.
  virtual void ShowError(QWidget* parent, const QString& text) = 0;

  // Shows the completion dialog modally; returns when the user has closed it.
  virtual void ShowFinishForm(TFinishForm* finishForm) = 0;

  // The open dialog for a data file, starting in `directory`: the chosen files' full paths,
  // none when it is cancelled.
  virtual QStringList ChooseDataFiles(QWidget* parent, const QString& directory) = 0;

  // Asks up to which zone (fromZone + 1 to the last zone) the values of `fromZone` are to be
  // copied; none when it is cancelled.
  virtual std::optional<int> ChooseLastZone(QWidget* parent, int fromZone) = 0;

  // Asks "Save changes?" with the buttons Save, Discard and Cancel; `detail` says what
  // would be saved or lost.
  virtual SaveChangesAnswer AskSaveChanges(QWidget* parent, const QString& detail) = 0;
};

// The real dialogs: modal message boxes, the completion dialog and a file-open dialog.
class ModalDialogs : public FormDialogs {
 public:
  void ShowMessage(QWidget* parent, const QString& text) override;
  void ShowError(QWidget* parent, const QString& text) override;
  void ShowFinishForm(TFinishForm* finishForm) override;
  QStringList ChooseDataFiles(QWidget* parent, const QString& directory) override;
  std::optional<int> ChooseLastZone(QWidget* parent, int fromZone) override;
  SaveChangesAnswer AskSaveChanges(QWidget* parent, const QString& detail) override;
};

// The box that asks "Save changes?" (Save, Discard, Cancel; Save the default, Escape
// cancels), not yet shown.
std::unique_ptr<QMessageBox> SaveChangesBox(QWidget* parent, const QString& detail);

// Captions of the message and error boxes.
inline constexpr const char* MessageBoxCaption = "Tovimar";
inline constexpr const char* ErrorBoxCaption = "Tovimar - Error";

// The question asked before changes not saved would be lost.
inline constexpr const char* SaveChangesQuestion = "Save changes?";

// The open dialog's filters as shown, text files first.
inline constexpr const char* TextFilesFilter = "Text Files (*.txt)";
inline constexpr const char* AllFilesFilter = "All Files (*.*)";

}  // namespace tovimar::ui
