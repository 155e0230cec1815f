#pragma once

#include <memory>
#include <optional>
#include <vector>

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include "ui/widgets/F_Form.h"
#include "ui/widgets/line_page.h"
#include "ui/widgets/Tovimar_Main.h"
#include "ui/widgets/form_dialogs.h"
#include "ui/widgets/main_window.h"

namespace tovimar::ui::test {

// Stands in for every modal dialog of the main window and records what would have been
// shown, so that tests drive the window without blocking.
class RecordingDialogs : public FormDialogs {
 public:
  void ShowMessage(QWidget* parent, const QString& text) override;
  void ShowError(QWidget* parent, const QString& text) override;
  void ShowFinishForm(TFinishForm* finishForm) override;
  QStringList ChooseDataFiles(QWidget* parent, const QString& directory) override;
  std::optional<int> ChooseLastZone(QWidget* parent, int fromZone) override;
  SaveChangesAnswer AskSaveChanges(QWidget* parent, const QString& detail) override;

  std::vector<QString> messages;
  std::vector<QString> errors;
  std::vector<TFinishForm*> finishForms;
  std::vector<bool> finishFormVisibleBefore;  // was the dialog already on show when asked
  std::vector<QString> chooseDirectories;
  QStringList nextChoice;  // what the open dialog returns
  std::vector<int> lastZoneAsked;  // the zone each copy asked about
  std::optional<int> nextLastZone;  // what the zone dialog returns; none: cancelled
  std::vector<QString> saveChangesAsked;  // the detail of each "Save changes?"
  SaveChangesAnswer nextSaveChanges = SaveChangesAnswer::Discard;
};

// Stands in for the Line page's file dialogs: each returns `nextPath`.
class AnsweringFileDialogs : public LineFileDialogs {
 public:
  QString ChooseSaveFile(QWidget*, const QString&, const QString&, const QStringList&,
                         QString*) override {
    return nextPath;
  }
  QString ChooseOpenFile(QWidget*, const QString&, const QString&, const QStringList&) override {
    return nextPath;
  }
  QString nextPath;  // what either dialog returns; empty: cancelled
};

// A main window with recording dialogs; `dialogs` stays owned by the window.
struct RecordedForm {
  RecordedForm();
  std::unique_ptr<TForm1> form;
  RecordingDialogs* dialogs = nullptr;
};

// The whole window, every page built, with recording dialogs; `dialogs` stays owned by the
// window.
struct RecordedWindow {
  RecordedWindow();
  [[nodiscard]] TForm1& Form() const { return *main.form; }
  template <typename T>
  T* Find(const char* name) const {
    return Form().findChild<T*>(QString::fromLatin1(name));
  }
  // Runs the entries with the line's model, without a result file, and shows the run on the
  // Drying Profile page; true when it completed.
  bool Run();

  MainWindow main;
  RecordingDialogs* dialogs = nullptr;
};

// Makes a fresh temporary directory the process's current directory for the lifetime of
// the object, and restores the previous one afterwards.
class TempCurrentDir {
 public:
  TempCurrentDir();
  ~TempCurrentDir();
  TempCurrentDir(const TempCurrentDir&) = delete;
  TempCurrentDir& operator=(const TempCurrentDir&) = delete;

  [[nodiscard]] QString Path() const { return dir_.path(); }
  [[nodiscard]] QString FilePath(const QString& name) const { return dir_.filePath(name); }

 private:
  QString previous_;
  QTemporaryDir dir_;
};

// The whole content of a file; an empty optional-like null array when it cannot be read.
QByteArray ReadBytes(const QString& path, bool* ok = nullptr);

// Writes `bytes` to `path`; false when it fails.
bool WriteBytes(const QString& path, const QByteArray& bytes);

// Where two byte strings first differ, for failure messages ("" when equal).
QString FirstDifference(const QByteArray& actual, const QByteArray& expected);

// The checked-in result file of a run with the default conditions.
QString GoldenDefaultResultPath();

// Sets up the application as the program does (style, icon), and stops the test when the
// fonts named by TOVIMAR_TEST_FONTS_PRESENT are missing or those named by
// TOVIMAR_TEST_FONTS_ABSENT are installed (comma-separated family names).
void ConfigureTestApplication();

}  // namespace tovimar::ui::test
