#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <QRect>
#include <QString>
#include <QWidget>

#include "input/entry_texts.h"
#include "input/field_catalogue.h"
#include "input/line_settings.h"
#include "model/model.h"
#include "run/run_sequence.h"
#include "ui/widgets/form_dialogs.h"
#include "ui/widgets/window_layout.h"

class QAbstractButton;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;

namespace tovimar::ui {

class DirectoryListBox;
class HelpWindow;
class DriveComboBox;
class FileListBox;
class TFinishForm;

// The text of the error box for a run that did not complete and whose message the core has
// not shown already.
QString RunErrorText(const RunOutcome& outcome);

// The message shown when the open dialog is cancelled or returns other than one file.
inline constexpr std::string_view SelectOneDataFileMessage = "Select one data file! Please try again.";

// The main window: every condition of a run as text, the result file's name, the working
// directory, and the Run, Close and Input Data File buttons. The core reads and writes its
// entries by name through EntryTexts.
class TForm1 : public QWidget, public EntryTexts {
  Q_OBJECT

 public:
  explicit TForm1(QWidget* parent = nullptr);
  ~TForm1() override;

  // EntryTexts over the window's line edits (UTF-8). Unknown names throw std::out_of_range;
  // SetText leaves a disabled entry alone. Text gives back the very bytes SetText was given
  // (a data file's, which need not be UTF-8) while the entry still shows what they became,
  // so a data file loaded and saved again keeps its bytes, as the batch tool keeps them.
  [[nodiscard]] std::string Text(std::string_view entryName) const override;
  [[nodiscard]] bool IsEnabled(std::string_view entryName) const override;
  void SetText(std::string_view entryName, std::string_view text) override;
  // Every entry's text as it stands, for runs (on other threads too) that leave the form alone.
  [[nodiscard]] MapEntryTexts Snapshot() const;

  // The entry of that name, or nullptr.
  [[nodiscard]] QLineEdit* Entry(std::string_view entryName) const;

  // Appends a page to the notebook after the existing ones; returns its index.
  int AddPage(QWidget* page, const QString& caption);

  // Replaces the modal dialogs (tests substitute recorders).
  void SetDialogs(std::unique_ptr<FormDialogs> dialogs);
  [[nodiscard]] FormDialogs& Dialogs() const { return *dialogs_; }

  // The program-wide records: the conditions and profile of the last run.
  [[nodiscard]] Simulation& Sim() { return sim_; }

  // The line settings (web width, exhaust flows, LELs, targets) each run is judged against.
  [[nodiscard]] LineSettings& Line() { return line_; }
  // The data file last loaded with Input Data File (the path chosen); empty when none.
  [[nodiscard]] const QString& LoadedDataFile() const { return loadedDataFile_; }
  void SetLoadedDataFile(const QString& path) { loadedDataFile_ = path; }
  // Loads the data file at `path` into the entries as Input Data File does once a file is
  // chosen; false after showing why it could not.
  bool LoadDataFileFrom(const QString& path);

  // Asked before the window closes, by Close, Alt+C or the close box: false keeps it open.
  void SetCloseGuard(std::function<bool()> guard) { closeGuard_ = std::move(guard); }
  // Where the window opens when it is first shown (its client area): there when the screen
  // holds it, otherwise centred at that size as far as the screen allows.
  void SetRestoredPlace(const QRect& client, bool maximised);

  // Button handlers.
  void BitBtn1Click();   // Run
  void BitBtn2Click();   // Close
  void InputDataClick(); // Input Data File

  // The controls, by their names.
  QTabWidget* TabbedNotebook1 = nullptr;
  QLabel* Image1 = nullptr;
  QLineEdit* Edit250 = nullptr;
  DriveComboBox* DriveComboBox1 = nullptr;
  DirectoryListBox* DirectoryListBox1 = nullptr;
  FileListBox* FileListBox1 = nullptr;
  QPushButton* InputData = nullptr;
  QPushButton* BitBtn1 = nullptr;
  QPushButton* BitBtn2 = nullptr;
  TFinishForm* FinishForm = nullptr;

  // Copies the six texts of `zone` into every zone from zone + 1 to `lastZone`; a disabled
  // entry keeps its text.
  void CopyZone(int zone, int lastZone);
  // The copy button of a zone: asks up to which zone, then copies.
  void CopyZoneClick(int zone);
  // The copy button of a zone (1..13); nullptr for the last zone, which has none.
  [[nodiscard]] QAbstractButton* CopyZoneButton(int zone) const;
  // The line on a zone page (ZonePage1..ZonePage3) that says how many zones a run of the
  // current entries takes and why not more.
  [[nodiscard]] QLabel* ActiveZonesLabel(int page) const;

  // Opens the help window (F1 anywhere in the window); made when first asked for.
  void ShowHelp();
  [[nodiscard]] HelpWindow* Help() const { return helpWindow_; }

  // Shows the page that holds the entry, gives it the focus and selects its text; false
  // when there is no such entry.
  bool ShowEntry(std::string_view entryName);

 signals:
  // A run starts, before it reads the conditions (and so before any message it shows).
  void RunStarting();
  // A run has ended, completed or not, before the completion dialog or the error box: a
  // page showing the last run's results never shows them as current while another run is
  // under way or after it stopped.
  void RunFinished(const tovimar::RunOutcome& outcome);
  // A run has completed, before the completion dialog.
  void RunCompleted();
  // Line() has been replaced as a whole (a line file or a session was loaded): pages that
  // keep part of their set-up in it show it afresh.
  void LineSettingsLoaded();
  // A data file has been loaded into the entries.
  void DataFileLoaded(const QString& path);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  QWidget* NewPage(const QString& caption);
  void BuildZonePage1(QWidget* page);
  QGroupBox* BuildZoneGroup(QWidget* page, const ZoneGroupPlace& place);
  void BuildGeneralPage(QWidget* page);
  QGroupBox* NewGroup(QWidget* parent, std::string_view objectName, std::string_view caption,
                      const Rect& rect, const QColor& captionColour);
  QLineEdit* NewEntry(QWidget* parent, const ConditionField& field);
  QLineEdit* AddRow(QWidget* group, const ConditionField& field, int x, int y, int width,
                    int entryWidth);
  int AddAntoineRow(QWidget* group, const GeneralRow& row, int x, int y);
  void ReportFailure(const QString& text) noexcept;
  void AddCopyButton(QGroupBox* group, int zone);
  void AddActiveZonesLabels();
  void UpdateActiveZones();

  Simulation sim_;
  LineSettings line_;
  QString loadedDataFile_;
  std::unique_ptr<FormDialogs> dialogs_;
  std::map<std::string, QLineEdit*, std::less<>> entries_;
  // Per entry: the text it showed after SetText and the bytes SetText was given.
  std::map<std::string, std::pair<QString, std::string>, std::less<>> givenBytes_;
  std::vector<QWidget*> tabChain_;  // the entries and buttons in Tab order, page by page
  std::map<int, QAbstractButton*> copyButtons_;  // by zone
  std::map<int, QLabel*> activeZonesLabels_;     // by page
  HelpWindow* helpWindow_ = nullptr;
  bool shownBefore_ = false;
  std::function<bool()> closeGuard_;
  std::optional<QRect> restoredPlace_;
  bool restoredMaximised_ = false;
};

}  // namespace tovimar::ui
