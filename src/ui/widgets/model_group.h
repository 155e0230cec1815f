#pragma once

#include <map>
#include <string>
#include <string_view>

#include <QGroupBox>

class QComboBox;
class QTableWidget;
class QTableWidgetItem;

namespace tovimar::ui {

class TForm1;

// The Line page's "Model" group: the drying model of the line's runs and its parameters, one
// control for each setting of the line file's "Model" object, in catalogue order: a choice
// for the model's name, a table of the numbers of the line (caption, value, unit and tooltip
// from the catalogue) and a table with a row per zone for the per-zone numbers. Every control
// edits form.Line(), which the window's runs, the line file and the session use; a cell is
// applied when its editing finishes, and a value the settings refuse is reported as the Line
// page's entries are, the cell showing the setting in force again. The parameters are greyed
// out while the lumped model, which takes none, is chosen.
class ModelGroup : public QGroupBox {
  Q_OBJECT

 public:
  explicit ModelGroup(TForm1& form, QWidget* parent = nullptr);
  ~ModelGroup() override;

  // Shows form.Line() in every control.
  void ShowSettings();

  // The cell of a number ("D0_1", "DiffusionCells", "ZoneMassTransferCoef2[3]"); nullptr for
  // any other name.
  [[nodiscard]] QTableWidgetItem* Cell(std::string_view name) const;

  QComboBox* ModelChoice = nullptr;       // the model's name, from the setting's choices
  QWidget* Parameters = nullptr;          // both tables
  QTableWidget* ParameterTable = nullptr;  // one row per number of the line
  QTableWidget* ZoneTable = nullptr;       // one row per zone, one column per per-zone key

 private:
  void ChoiceMade(int index);
  void CellChanged(QTableWidgetItem* item);
  void ShowChoice();

  TForm1& form_;
  std::map<std::string, QTableWidgetItem*, std::less<>> cells_;
  std::map<const QTableWidgetItem*, std::string> cellNames_;
  bool showing_ = false;  // the group is writing the settings into its cells
};

// The group's title on the Line page.
inline constexpr const char* ModelGroupTitle = "Model";

}  // namespace tovimar::ui
