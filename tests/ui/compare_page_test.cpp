// Pinned runs: pinned from the Drying Profile page under a name, drawn over its chart as
// dashed lines and set side by side on the Compare page, which unpins and exports them.
#include <QChart>
#include <QCheckBox>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QValueAxis>

#include <limits>

#include "ui/widgets/compare_page.h"
#include "ui/widgets/main_window.h"
#include "ui/widgets/pin_board.h"
#include "ui/widgets/run_name_dialog.h"
#include "ui/widgets/pinned_overlay.h"
#include "ui/widgets/zone_table.h"
#include "ui/widgets/curve_styles.h"
#include "ui_test_support.h"

using namespace tovimar;
using namespace tovimar::ui;
using namespace tovimar::ui::test;

namespace {

// Answers the name dialog at once: with `next` when set (none: cancelled), else as proposed.
class AnsweringNameDialog : public RunNameDialog {
 public:
  std::optional<QString> AskRunName(QWidget* /*parent*/, const QString& proposed) override {
    proposals << proposed;
    return next ? *next : std::optional<QString>(proposed);
  }
  std::optional<std::optional<QString>> next;
  QStringList proposals;
};

class SavePath : public SaveFileDialogs {
 public:
  explicit SavePath(QString path) : path_(std::move(path)) {}
  QString ChooseSaveFile(QWidget*, const QString&, const QString&, const QStringList&, QString*) override {
    return path_;
  }

 private:
  QString path_;
};

struct Window : RecordedWindow {
  Window() {
    auto names = std::make_unique<AnsweringNameDialog>();
    namer = names.get();
    main.profile->SetRunNameDialog(std::move(names));
    compare = main.form->findChild<ComparePage*>(QStringLiteral("ComparePage"));
    // Legend entries are visible only on a chart on show.
    main.form->show();
    main.form->TabbedNotebook1->setCurrentWidget(main.profile);
  }
  // Runs the entries with the line speed `speed` (no result file) and pins the run with
  // the name the dialog gives.
  void RunAndPin(const char* speed) {
    main.form->SetText("Edit6", speed);
    Run();
    main.profile->PinButton->click();
  }
  const PinnedOverlay::Curves& Set(std::size_t i) const { return main.profile->Overlay()->Sets()[i]; }
  bool InLegend(QLineSeries* series) const {
    return main.profile->Chart.chart->legend()->markers(series).front()->isVisible();
  }
  static QStringList CellTexts(const QTableWidget* table, int row) {
    QStringList texts;
    for (int column = 0; column < table->columnCount(); ++column) {
      texts << (table->item(row, column) != nullptr ? table->item(row, column)->text() : QString());
    }
    return texts;
  }
  int Row(const std::string& title) const {
    for (int row = 0; row < compare->Table->rowCount(); ++row) {
      if (compare->Table->verticalHeaderItem(row)->text() == QString::fromStdString(title)) return row;
    }
    return -1;
  }
  AnsweringNameDialog* namer = nullptr;
  ComparePage* compare = nullptr;
};

}  // namespace

class ComparePageTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { ConfigureTestApplication(); }

  void pinnedRunsAreOverlaidAndCompared() {
    Window w;
    w.RunAndPin("1.0");
    const RunResults first = w.main.profile->Pinned().Runs().at(0).results;
    w.namer->next = QStringLiteral("Speed 0.5");
    w.RunAndPin("0.5");
    QCOMPARE(w.namer->proposals, (QStringList{"Run 1", "Run 2"}));
    QVERIFY(w.dialogs->errors.empty());
    const std::vector<PinnedRun>& runs = w.main.profile->Pinned().Runs();
    QCOMPARE(runs.size(), std::size_t{2});
    QCOMPARE(runs[1].results.line.points.size(), w.main.profile->Profile().points.size());
    QCOMPARE(runs[1].results.line.points.back().temp, w.main.profile->Profile().points.back().temp);

    double tempLow = 1e9, tempHigh = -1e9;
    for (std::size_t i = 0; i < MaxPinnedRuns; ++i) {
      const PinnedOverlay::Curves& set = w.Set(i);
      const bool pinned = i < runs.size();
      for (QLineSeries* series : {set.webTemp, set.residual1, set.residual2}) {
        QCOMPARE(series->isVisible(), pinned);
        QCOMPARE(series->pen(), PenOf(PinnedStyle(i)));  // a broken line of the run's own style
        QCOMPARE(w.InLegend(series), pinned && series == set.webTemp);
      }
      if (!pinned) continue;
      QCOMPARE(set.webTemp->name(), QString::fromStdString(runs[i].name));
      const std::vector<ProfilePoint>& points = runs[i].results.line.points;
      QCOMPARE(static_cast<std::size_t>(set.webTemp->count()), points.size());
      for (std::size_t k = 0; k < points.size(); k += 50) {
        const auto at = static_cast<qsizetype>(k);
        QCOMPARE(set.webTemp->at(at), QPointF(points[k].position, points[k].temp));
        QCOMPARE(set.residual2->at(at), QPointF(points[k].position, points[k].residual2));
        tempLow = std::min(tempLow, points[k].temp);
        tempHigh = std::max(tempHigh, points[k].temp);
      }
    }
    QVERIFY(w.Set(0).webTemp->pen().color() != w.Set(1).webTemp->pen().color());
    QVERIFY(w.main.profile->Chart.tempAxis->min() < tempLow);
    QVERIFY(w.main.profile->Chart.tempAxis->max() > tempHigh);

    // One column per run, the current run last, the line-end values of each run's results.
    QTableWidget* table = w.compare->Table;
    QCOMPARE(table->columnCount(), 3);
    QCOMPARE(table->horizontalHeaderItem(0)->text(), QStringLiteral("Run 1"));
    QCOMPARE(table->horizontalHeaderItem(1)->text(), QStringLiteral("Speed 0.5"));
    QCOMPARE(table->horizontalHeaderItem(2)->text(), QStringLiteral("Current run"));
    // Above the quantities, the one condition the runs differ in, highlighted.
    QCOMPARE(table->rowCount(), 1 + static_cast<int>(ComparisonRows(runs).size()));
    QCOMPARE(table->verticalHeaderItem(0)->text(), QStringLiteral("Speed (m/s)"));
    QCOMPARE(Window::CellTexts(table, 0), (QStringList{"1.0", "0.5", "0.5"}));
    QCOMPARE(table->item(0, 0)->background().color(), DifferenceColour);
    // Every condition a run gives, the same ones not highlighted.
    w.compare->OnlyDifferencesCheck->setChecked(false);
    const int conditions = static_cast<int>(ConditionRows(w.compare->ShownRuns()).size());
    QCOMPARE(table->rowCount(), conditions + static_cast<int>(ComparisonRows(runs).size()));
    const int keff = w.Row("Dryer Efficiency Parameter Keff");
    QVERIFY(keff >= 0 && keff < conditions);
    QCOMPARE(Window::CellTexts(table, keff), (QStringList{"1.5", "1.5", "1.5"}));
    QCOMPARE(table->item(keff, 0)->background().style(), Qt::NoBrush);
    w.compare->OnlyDifferencesCheck->setChecked(true);
    const int lineEnd = w.Row("line end web temperature (C)");
    const int zoneExit = w.Row("zone 1 exit web temperature (C)");
    QVERIFY(lineEnd >= 0 && zoneExit > lineEnd);
    for (int column = 0; column < 2; ++column) {
      const RunResults& results = runs[static_cast<std::size_t>(column)].results;
      const double end = results.line.points.back().temp;
      QCOMPARE(table->item(lineEnd, column)->data(Qt::UserRole).toDouble(), end);
      const ComparisonRow row = ComparisonRows(runs).at(static_cast<std::size_t>(lineEnd - 1));
      QCOMPARE(table->item(lineEnd, column)->text(), ComparisonText(row, end));
      const double exit = results.summary.zones.at(0).exitTemp;
      QCOMPARE(table->item(zoneExit, column)->text(), Fixed(exit, 2));
    }
    QCOMPARE(table->item(lineEnd, 0)->data(Qt::UserRole).toDouble(), first.line.points.back().temp);
    QVERIFY(first.line.points.back().temp != runs[1].results.line.points.back().temp);
    // No residual target given: the runs have no value there, and the cell stays empty.
    QVERIFY(table->item(w.Row("residual target reached at (m)"), 0) == nullptr);
  }

  // Significant digits with trailing zeros, or a zone-table quantity's own decimals.
  void valuesAreShownReadably() {
    const ComparisonRow line{"", FindOutput("LineEndWebTemp"), 0, {}};
    const ComparisonRow zone{"", FindOutput("ZoneExitResidual1"), 1, {}};
    const struct {
      const ComparisonRow& row;
      double value;
      const char* text;
    } cases[] = {{line, 60, "60.00"},        {line, 0.008578, "0.008578"}, {line, -12.3456, "-12.35"},
                 {line, 0, "0"},             {line, 1.5934e-6, "1.593e-06"}, {line, 1234567, "1.235e+06"},
                 {zone, 0.0975123, "0.0975"}, {zone, -0.00001, "0.0000"},
                 // The extremes of a double, and the % of LEL of a zone given no exhaust air.
                 {zone, 1e300, "1e+300"}, {zone, -1e300, "-1e+300"}, {zone, 5e-324, "0.0000"},
                 {zone, 1e-60, "0.0000"}, {zone, -0.0, "0.0000"}, {line, 1e300, "1.000e+300"},
                 {line, -1e300, "-1.000e+300"}, {line, 5e-324, "4.941e-324"}, {line, -0.0, "0"},
                 {line, std::numeric_limits<double>::infinity(), "unbounded"}};
    for (const auto& c : cases) {
      QCOMPARE(ComparisonText(c.row, c.value), QString::fromLatin1(c.text));
    }
  }

  void refusedPinsSayWhy() {
    Window w;
    w.RunAndPin("1.0");
    w.namer->next = std::optional<QString>();  // cancelled: nothing pinned, nothing said
    w.main.profile->PinButton->click();
    const struct {
      const char* name;
      const char* error;  // empty: pinned
    } cases[] = {{"Run 1", "A run named \"Run 1\" is pinned already."},
                 {"  ", "A pinned run needs a name."},
                 {"B", ""}, {"C", ""}, {"D", ""}, {"E", ""},
                 {"F", "At most 5 runs can be pinned; unpin one first."}};
    for (const auto& c : cases) {
      w.dialogs->errors.clear();
      w.namer->next = QString::fromUtf8(c.name);
      w.main.profile->PinButton->click();
      const QString error = QString::fromUtf8(c.error);
      QCOMPARE(w.dialogs->errors,
               error.isEmpty() ? std::vector<QString>{}
                               : std::vector<QString>{"The run cannot be pinned:\n\n" + error});
    }
    QCOMPARE(w.main.profile->Pinned().Runs().size(), MaxPinnedRuns);
    QCOMPARE(w.compare->Table->columnCount(), 6);  // and the current run
  }

  void unpinClearAndExport() {
    TempCurrentDir dir;
    Window w;
    w.RunAndPin("1.0");
    w.RunAndPin("0.5");
    w.compare->Table->setCurrentCell(0, 2);  // the current run's column cannot be unpinned
    QVERIFY(!w.compare->UnpinButton->isEnabled());
    w.compare->Table->setCurrentCell(0, 0);
    w.compare->UnpinButton->click();
    QCOMPARE(w.compare->Table->columnCount(), 2);
    QCOMPARE(w.compare->Table->horizontalHeaderItem(0)->text(), QStringLiteral("Run 2"));
    QCOMPARE(w.Set(0).webTemp->name(), QStringLiteral("Run 2"));
    QVERIFY(!w.Set(1).webTemp->isVisible() && !w.InLegend(w.Set(1).webTemp));
    w.main.profile->PinButton->click();  // the first free name again
    QCOMPARE(w.namer->proposals.back(), QStringLiteral("Run 1"));

    w.compare->SetSaveFileDialogs(std::make_unique<SavePath>(dir.FilePath(QStringLiteral("c.csv"))));
    w.compare->ExportCsvButton->click();
    std::vector<PinnedRun> shown = w.main.profile->Pinned().Runs();
    shown.push_back({"Current run", w.main.profile->Results(), w.main.profile->ShownInputs()});
    QCOMPARE(ReadBytes(dir.FilePath(QStringLiteral("c.csv"))), QByteArray::fromStdString(FormatComparisonCsv(shown)));
    QVERIFY(w.dialogs->errors.empty());
    QVERIFY(!w.compare->ExportCsv(dir.FilePath(QStringLiteral("no/such/c.csv"))));
    QCOMPARE(w.dialogs->errors.size(), std::size_t{1});
    QVERIFY(w.dialogs->errors[0].startsWith(QStringLiteral("The comparison could not be exported to")));

    w.compare->ClearButton->click();
    QCOMPARE(w.compare->Table->columnCount(), 1);  // the current run stays
    QVERIFY(!w.Set(0).webTemp->isVisible());
    QVERIFY(!w.compare->ClearButton->isEnabled());
    w.main.profile->ShowNoResult(QStringLiteral("none"));
    QCOMPARE(w.compare->Table->columnCount(), 0);
    QVERIFY(!w.compare->ExportCsvButton->isEnabled());
  }

  // A failed run clears the current curves and their legend entries; pinned runs stay, and
  // the chart says they are all it shows. Nothing can be pinned then.
  void failedRunCannotBePinned() {
    Window w;
    w.RunAndPin("1.0");
    QVERIFY(w.main.profile->PinButton->isEnabled());
    QVERIFY(w.main.profile->Chart.chart->title().isEmpty());
    QVERIFY(w.InLegend(w.main.profile->Chart.webTemp));
    w.RunAndPin("abc");
    QVERIFY(!w.main.profile->PinButton->isEnabled());
    QCOMPARE(w.main.profile->Chart.webTemp->count(), 0);
    QVERIFY(!w.InLegend(w.main.profile->Chart.webTemp));
    QVERIFY(w.Set(0).webTemp->isVisible() && w.InLegend(w.Set(0).webTemp));
    QCOMPARE(w.main.profile->Chart.chart->title(),
             QStringLiteral("No current run: only the pinned runs are shown"));
    QVERIFY(!w.main.profile->PinRun(QStringLiteral("stale")));
    QCOMPARE(w.dialogs->errors.back(), QStringLiteral("There is no completed run that could be pinned."));
    QCOMPARE(w.main.profile->Pinned().Runs().size(), std::size_t{1});
  }
};

QTEST_MAIN(ComparePageTest)
#include "compare_page_test.moc"
