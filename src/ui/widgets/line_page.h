#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>

#include <QString>
#include <QStringList>
#include <QWidget>

#include "ui/widgets/line_file_dialogs.h"

class QLineEdit;
class QPushButton;
class QTableWidget;
class QTableWidgetItem;

namespace tovimar::ui {

class ModelGroup;
class TForm1;

// The "Line" page: the line settings each run is judged against (web width, the zones'
// exhaust flows and own limits, the LELs, the common limit, the residual target and the least
// boiling margin), and the drying model of its runs (ModelGroup). An entry is applied to
// form.Line() when its editing finishes and, if still pending, when a run starts; a value the
// settings refuse is reported and the entry shows the setting in force again.
class LinePage : public QWidget {
  Q_OBJECT

 public:
  explicit LinePage(TForm1& form, QWidget* parent = nullptr);
  ~LinePage() override;

  // Adds the page to the form's notebook, which owns it, and applies pending entries when a
  // run of the form starts.
  static LinePage* AttachTo(TForm1& form);

  // Shows form.Line() in every entry.
  void ShowSettings();
  // Applies every entry edited since it last showed the settings; false when one was refused.
  bool ApplyPending();

  void SetFileDialogs(std::unique_ptr<LineFileDialogs> dialogs);

  // Button handlers: each asks for a file, then loads or saves it.
  void LoadClick();
  void SaveClick();
  // The same without the dialog; false after showing the failure in the form's error box.
  // A file that is refused leaves the settings as they were.
  bool LoadLineFile(const QString& path);
  bool SaveLineFile(const QString& path);

  // The entry of a setting of the whole line (WebWidth, LEL1, LEL2, LELLimit,
  // ResidualTarget, BoilingMarginMin); nullptr for any other name.
  [[nodiscard]] QLineEdit* Entry(std::string_view name) const;

  // One row per zone: its exhaust flow and its own limit (empty: the common limit).
  QTableWidget* ZoneTable = nullptr;
  // The drying model and its parameters (the line file's "Model" object).
  ModelGroup* Model = nullptr;
  QPushButton* LoadButton = nullptr;
  QPushButton* SaveButton = nullptr;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  bool Apply(const std::string& name, const QString& text);
  void EntryEdited(const std::string& name);
  void CellChanged(QTableWidgetItem* item);
  [[nodiscard]] QString SettingText(const std::string& name) const;

  TForm1& form_;
  std::unique_ptr<LineFileDialogs> dialogs_;
  std::map<std::string, QLineEdit*, std::less<>> entries_;
  QString lastFile_;
  bool showing_ = false;  // the page is writing the settings into its cells
};

// The page's caption in the notebook and the name filters of its file dialogs.
inline constexpr const char* LinePageCaption = "Line";
inline constexpr const char* LineFileFilter = "Line Files (*.json)";

}  // namespace tovimar::ui
