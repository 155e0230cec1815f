// The "Drying Profile" page: the chart and zone summary after a run, the page after a run
// that did not complete, and the files its three buttons write.
#include <optional>
#include <utility>
#include <vector>

#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QLabel>
#include <QLegend>
#include <QLegendMarker>
#include <QLineEdit>
#include <QLineSeries>
#include <QPushButton>
#include <QScatterSeries>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QValueAxis>

#include "conditionfile/data_file.h"
#include "input/field_catalogue.h"
#include "results/profile_csv.h"
#include "ui/widgets/profile_page.h"
#include "ui/widgets/directory_list_box.h"
#include "ui_test_support.h"

using namespace tovimar;
using namespace tovimar::ui;
using namespace tovimar::ui::test;

namespace {

// Answers the page's save dialogs without showing one, and records what was asked.
class RecordingSaveDialogs : public SaveFileDialogs {
 public:
  QString ChooseSaveFile(QWidget* /*parent*/, const QString& caption, const QString& suggested,
                         const QStringList& filters, QString* chosenFilter) override {
    captions << caption;
    suggestions << suggested;
    filterLists << filters;
    if (chosenFilter != nullptr && !nextFilter.isEmpty()) {
      *chosenFilter = nextFilter;
    }
    return nextPath;
  }

  QString nextPath;    // what the dialog returns; empty: cancelled
  QString nextFilter;  // the filter the user picks; empty: left as proposed
  QStringList captions;
  QStringList suggestions;
  QList<QStringList> filterLists;
};

// Records, with every error box, whether the page still claimed a current result.
class PageCheckingDialogs : public RecordingDialogs {
 public:
  void ShowError(QWidget* parent, const QString& text) override {
    pageCurrentAtError.push_back(page != nullptr && page->IsCurrent());
    RecordingDialogs::ShowError(parent, text);
  }
  void ShowMessage(QWidget* parent, const QString& text) override {
    pageCurrentAtError.push_back(page != nullptr && page->IsCurrent());
    RecordingDialogs::ShowMessage(parent, text);
  }
  ProfilePage* page = nullptr;
  std::vector<bool> pageCurrentAtError;
};

// A window with recording dialogs, its profile page and recording save dialogs.
struct PageForm {
  PageForm() : form(std::make_unique<TForm1>()) {
    auto recorder = std::make_unique<PageCheckingDialogs>();
    dialogs = recorder.get();
    form->SetDialogs(std::move(recorder));
    page = ProfilePage::AttachTo(*form);
    dialogs->page = page;
    auto save = std::make_unique<RecordingSaveDialogs>();
    saves = save.get();
    page->SetSaveFileDialogs(std::move(save));
  }
  void Type(const QList<QPair<QString, QString>>& texts) {
    for (const auto& [entry, text] : texts) {
      form->Entry(entry.toStdString())->setText(text);
    }
  }
  std::unique_ptr<TForm1> form;
  PageCheckingDialogs* dialogs = nullptr;
  ProfilePage* page = nullptr;
  RecordingSaveDialogs* saves = nullptr;
};

// Zone 3 filled in, and zone 2 shorter than a whole number of steps suggests.
const QList<QPair<QString, QString>> kThreeZones{
    {"Edit22", "12.34"}, {"Edit31", "85"},   {"Edit32", "20"},  {"Edit33", "0.0"},
    {"Edit34", "0.0"},   {"Edit35", "0.03"}, {"Edit36", "0.05"}};

// The position of every profile entry along the line, from the simulation's own arrays.
std::vector<double> ExpectedPositions(const Simulation& sim) {
  std::vector<double> positions;
  double zoneStart = 0;
  const DryingConditions& c = sim.conditions;
  for (int z = 1; z <= c.ZoneCount; ++z) {
    const int n = c.ZoneStepCount[static_cast<std::size_t>(z)];
    for (int r = 0; r <= n; ++r) {
      positions.push_back(zoneStart + r * sim.state.TimeIncrement * c.LineSpeed);
    }
    zoneStart += n * sim.state.TimeIncrement * c.LineSpeed;
  }
  return positions;
}

QByteArray FileStart(const QString& path, int bytes) { return ReadBytes(path).left(bytes); }

}  // namespace

class ProfilePageTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { ConfigureTestApplication(); }

  void pageFollowsTheFourPagesAndStartsEmpty() {
    PageForm f;
    QTabWidget* notebook = f.form->TabbedNotebook1;
    QCOMPARE(notebook->count(), 5);
    QCOMPARE(notebook->tabText(4), QStringLiteral("Drying Profile"));
    QCOMPARE(notebook->widget(4), f.page);
    QCOMPARE(notebook->currentIndex(), 0);
    QVERIFY(!f.page->IsCurrent());
    QVERIFY(f.page->StatusLabel->text().contains(QStringLiteral("No run has completed yet")));
    // The chart is made when the page is first shown, empty.
    QVERIFY(f.page->ChartView == nullptr);
    f.form->show();
    f.form->TabbedNotebook1->setCurrentWidget(f.page);
    QVERIFY(f.page->ChartView != nullptr);
    QVERIFY(f.page->ChartView->isVisible());
    QCOMPARE(f.page->Chart.webTemp->count(), 0);
    QCOMPARE(f.page->Chart.airTemp->count(), 0);
    QVERIFY(f.page->Chart.zoneAxis->categoriesLabels().isEmpty());
    QCOMPARE(f.page->SummaryTable->rowCount(), 0);
    QVERIFY(!f.page->SaveChartButton->isEnabled());
    QVERIFY(!f.page->ExportCsvButton->isEnabled());
    QVERIFY(f.page->SaveConditionsButton->isEnabled());
  }

  // One point per profile entry of every zone, at its position along the line.
  void chartHoldsEveryEntryAlongTheLine() {
    TempCurrentDir dir;
    PageForm f;
    f.Type(kThreeZones);
    f.form->BitBtn1Click();
    QCOMPARE(f.dialogs->finishForms.size(), std::size_t{1});
    QVERIFY(f.page->IsCurrent());
    const Simulation& sim = f.form->Sim();
    const DryingConditions& c = sim.conditions;
    const DryingProfile& p = *sim.profile;
    QCOMPARE(c.ZoneCount, 3);
    QCOMPARE(c.ZoneStepCount[2], 123);

    const std::vector<double> positions = ExpectedPositions(sim);
    QCOMPARE(positions.size(), std::size_t{301 + 124 + 201});
    const QList<QPointF> web = f.page->Chart.webTemp->points();
    const QList<QPointF> r1 = f.page->Chart.residual1->points();
    const QList<QPointF> r2 = f.page->Chart.residual2->points();
    QCOMPARE(static_cast<std::size_t>(web.size()), positions.size());
    QCOMPARE(r1.size(), web.size());
    QCOMPARE(r2.size(), web.size());
    qsizetype i = 0;
    double residualMax = 0;
    for (int z = 1; z <= c.ZoneCount; ++z) {
      const auto zone = static_cast<std::size_t>(z);
      for (int r = 0; r <= c.ZoneStepCount[zone]; ++r, ++i) {
        const auto k = static_cast<std::size_t>(r);
        const auto at = static_cast<std::size_t>(i);
        QCOMPARE(web[i].x(), positions[at]);
        QCOMPARE(r1[i].x(), positions[at]);
        QCOMPARE(r2[i].x(), positions[at]);
        QCOMPARE(web[i].y(), p.ProfileTemp[zone][k]);
        QCOMPARE(r1[i].y(), p.ProfileResidual1[zone][k]);
        QCOMPARE(r2[i].y(), p.ProfileResidual2[zone][k]);
        residualMax = std::max({residualMax, p.ProfileResidual1[zone][k], p.ProfileResidual2[zone][k]});
      }
    }
    // Continuous across the boundaries: each zone's entry 0 stands at the previous exit.
    QCOMPARE(web[301].x(), web[300].x());
    QCOMPARE(web[301].x(), 30.0);
    QCOMPARE(web[425].x(), web[424].x());
    QCOMPARE(web[425].x(), 30.0 + 123 * sim.state.TimeIncrement * c.LineSpeed);
    for (qsizetype j = 1; j < web.size(); ++j) {
      QVERIFY(web[j].x() >= web[j - 1].x());
    }

    // The air temperatures as steps, the zone sections with their numbers.
    const QList<QPointF> air = f.page->Chart.airTemp->points();
    QCOMPARE(air.size(), 6);
    const double ends[] = {30.0, web[424].x(), web.back().x()};
    for (int z = 0; z < 3; ++z) {
      QCOMPARE(air[2 * z].x(), z == 0 ? 0.0 : ends[z - 1]);
      QCOMPARE(air[2 * z + 1].x(), ends[z]);
      QCOMPARE(air[2 * z].y(), c.ZoneAirTemp[static_cast<std::size_t>(z + 1)]);
      QCOMPARE(air[2 * z + 1].y(), c.ZoneAirTemp[static_cast<std::size_t>(z + 1)]);
    }
    QCategoryAxis* zones = f.page->Chart.zoneAxis;
    QCOMPARE(zones->categoriesLabels(), (QStringList{"1", "2", "3"}));
    QCOMPARE(zones->startValue(), 0.0);
    for (int z = 0; z < 3; ++z) {
      QCOMPARE(zones->endValue(QString::number(z + 1)), ends[z]);
    }
    QCOMPARE(f.page->Chart.positionAxis->min(), 0.0);
    QCOMPARE(f.page->Chart.positionAxis->max(), web.back().x());
    QCOMPARE(f.page->Chart.residualAxis->min(), 0.0);
    QCOMPARE(f.page->Chart.residualAxis->max(), residualMax);
    QVERIFY(f.page->Chart.tempAxis->min() <= 15.0);
    QVERIFY(f.page->Chart.tempAxis->max() >= 85.0);
  }

  // Every number of the table from the profile arrays: exit state, evaporation, share.
  void summaryEqualsTheProfile() {
    TempCurrentDir dir;
    PageForm f;
    f.Type(kThreeZones);
    f.Type({{"Edit33", "0.05"}});  // solvent-1 condenses in zone 3
    f.form->BitBtn1Click();
    QVERIFY(f.page->IsCurrent());
    const Simulation& sim = f.form->Sim();
    const DryingProfile& p = *sim.profile;
    QTableWidget* table = f.page->SummaryTable;
    QCOMPARE(table->rowCount(), 4);
    QCOMPARE(table->columnCount(), static_cast<int>(SummaryColumnCount));
    double total1 = 0, total2 = 0, total = 0, exitPosition = 0;
    std::vector<double> evaporated;
    for (int z = 1; z <= 3; ++z) {
      const auto zone = static_cast<std::size_t>(z);
      const auto n = static_cast<std::size_t>(sim.conditions.ZoneStepCount[zone]);
      const double ev1 = (p.ProfileSolvent1Weight[zone][0] - p.ProfileSolvent1Weight[zone][n]) * 1000;
      const double ev2 = (p.ProfileSolvent2Weight[zone][0] - p.ProfileSolvent2Weight[zone][n]) * 1000;
      total1 += ev1;
      total2 += ev2;
      total += ev1 + ev2;
      evaporated.push_back(ev1 + ev2);
      const int row = z - 1;
      const auto check = [&](int column, double expected, int decimals) {
        QTableWidgetItem* item = table->item(row, column);
        QVERIFY(item != nullptr);
        QCOMPARE(item->data(Qt::UserRole).toDouble(), expected);
        QString text = QString::number(expected, 'f', decimals);
        if (text.startsWith('-') && text.toDouble() == 0) text.remove(0, 1);
        QCOMPARE(item->text(), text);
      };
      QCOMPARE(table->item(row, SummaryZone)->text(), QString::number(z));
      exitPosition += static_cast<double>(n) * sim.state.TimeIncrement * sim.conditions.LineSpeed;
      check(SummaryExitPosition, exitPosition, 3);
      check(SummaryExitTemp, p.ProfileTemp[zone][n], 2);
      check(SummaryResidual1, p.ProfileResidual1[zone][n], 4);
      check(SummaryResidual2, p.ProfileResidual2[zone][n], 4);
      check(SummaryEvaporated1, ev1, 3);
      check(SummaryEvaporated2, ev2, 3);
      if (z == 3) {
        QVERIFY(ev1 < 0);
      }
    }
    QVERIFY(total > 0);
    for (int row = 0; row < 3; ++row) {
      QCOMPARE(table->item(row, SummaryShare)->data(Qt::UserRole).toDouble(),
               evaporated[static_cast<std::size_t>(row)] / total * 100);
    }
    QCOMPARE(table->item(3, SummaryZone)->text(), QStringLiteral("Line"));
    QCOMPARE(table->item(3, SummaryEvaporated1)->data(Qt::UserRole).toDouble(), total1);
    QCOMPARE(table->item(3, SummaryEvaporated2)->data(Qt::UserRole).toDouble(), total2);
    QCOMPARE(table->item(3, SummaryShare)->text(), QStringLiteral("100.0"));
    QVERIFY(f.page->DryPointLabel->text().contains(QStringLiteral("not reached")));
    QCOMPARE(f.page->Chart.dryPoint->count(), 0);
    // The legend has no entry for a dry point that is not there (seen on the page on show).
    f.form->show();
    f.form->TabbedNotebook1->setCurrentWidget(f.page);
    QVERIFY(f.page->ChartView->isVisible());
    QVERIFY(!f.page->Chart.chart->legend()->markers(f.page->Chart.dryPoint).front()->isVisible());
  }

  void summaryExitPositionsAndDryPoint() {
    TempCurrentDir dir;
    PageForm f;
    f.Type({{"Edit25", "0.5"}});  // zone 2 dries the coating down to We
    f.form->BitBtn1Click();
    QVERIFY(f.page->IsCurrent());
    const Simulation& sim = f.form->Sim();
    const std::vector<double> positions = ExpectedPositions(sim);
    QTableWidget* table = f.page->SummaryTable;
    QCOMPARE(table->item(0, SummaryExitPosition)->data(Qt::UserRole).toDouble(), positions[300]);
    QCOMPARE(table->item(1, SummaryExitPosition)->data(Qt::UserRole).toDouble(), positions[601]);
    // The first entry whose drying-speed correction is 0, found in the arrays.
    const DryingProfile& p = *sim.profile;
    std::optional<std::size_t> dry;
    for (std::size_t i = 0, z = 1; z <= 2 && !dry; ++z) {
      for (std::size_t k = 0; k <= 300; ++k, ++i) {
        if (CalcDryingCorrection(sim.conditions, p.ProfileSolvent1Fraction[z][k] +
                                                     p.ProfileSolvent2Fraction[z][k]) <= 0) {
          dry = i;
          break;
        }
      }
    }
    QVERIFY(dry.has_value());
    QVERIFY(f.page->Summary().dryPoint.has_value());
    QCOMPARE(f.page->Summary().dryPoint->position, positions[*dry]);
    QVERIFY2(f.page->DryPointLabel->text().contains(QString::number(positions[*dry], 'f', 3) + " m"),
             qPrintable(f.page->DryPointLabel->text()));
    QCOMPARE(f.page->Chart.dryPoint->count(), 1);
    QCOMPARE(f.page->Chart.dryPoint->at(0).x(), positions[*dry]);
    f.form->show();
    f.form->TabbedNotebook1->setCurrentWidget(f.page);
    QVERIFY(f.page->Chart.chart->legend()->markers(f.page->Chart.dryPoint).front()->isVisible());
  }

  // A run that did not complete clears the page before its message or error box appears.
  // The page lists the run's warnings and its step check where the user looks first.
  void warningsAndStepCheckAreShown() {
    TempCurrentDir dir;
    PageForm f;
    f.Type({{QStringLiteral("Edit4"), QStringLiteral("0.7")}});
    f.form->BitBtn1Click();
    QVERIFY(f.page->IsCurrent());
    QVERIFY(f.page->StepCheckLabel->text().startsWith(QStringLiteral("Step check: halving the Increment of z")));
    QCOMPARE(f.page->WarningsLabel->text(),
             QStringLiteral("Warning: The weight ratios of solid, solvent-1 and solvent-2 add up to 1.1, not 1."));
    // A run that stops keeps its warnings on show, and no step check.
    f.Type({{QStringLiteral("Edit7"), QStringLiteral("100")}});
    f.form->BitBtn1Click();
    QVERIFY(!f.page->IsCurrent());
    QVERIFY(f.page->StepCheckLabel->text().isEmpty());
    QVERIFY(f.page->WarningsLabel->text().contains(QStringLiteral("add up to 1.1")));
    QVERIFY(f.dialogs->errors.back().contains(QStringLiteral("The coating boils in zone 1, step 1")));
  }

  void runThatDidNotCompleteIsNotShownAsCurrent() {
    TempCurrentDir dir;
    PageForm f;
    f.form->BitBtn1Click();
    QVERIFY(f.page->IsCurrent());
    const struct {
      const char* entry;
      const char* text;
      const char* status;
    } cases[] = {{"Edit6", "0", "arithmetic fault"}, {"Edit1", "x", "stopped at input"}};
    for (const auto& c : cases) {
      f.Type({{"Edit6", "1.0"}, {"Edit1", "0.0695"}});
      f.form->BitBtn1Click();
      QVERIFY(f.page->IsCurrent());
      f.dialogs->pageCurrentAtError.clear();
      f.Type({{c.entry, c.text}});
      f.form->BitBtn1Click();
      QVERIFY(!f.page->IsCurrent());
      QCOMPARE(f.dialogs->pageCurrentAtError, std::vector<bool>{false});
      QVERIFY2(f.page->StatusLabel->text().contains(QStringLiteral("did not complete (%1)").arg(c.status)),
               qPrintable(f.page->StatusLabel->text()));
      QCOMPARE(f.page->Chart.webTemp->count(), 0);
      QCOMPARE(f.page->Chart.residual1->count(), 0);
      QCOMPARE(f.page->Chart.airTemp->count(), 0);
      QVERIFY(f.page->Chart.zoneAxis->categoriesLabels().isEmpty());
      QCOMPARE(f.page->SummaryTable->rowCount(), 0);
      QVERIFY(f.page->DryPointLabel->text().isEmpty());
      QVERIFY(!f.page->SaveChartButton->isEnabled());
      QVERIFY(!f.page->ExportCsvButton->isEnabled());
      QVERIFY(f.page->Profile().points.empty());
      // Nothing to export, even when asked directly.
      QVERIFY(!f.page->ExportCsv(dir.FilePath(QStringLiteral("stale.csv"))));
      QVERIFY(!QFile::exists(dir.FilePath(QStringLiteral("stale.csv"))));
    }
  }

  void buttonsWriteTheirFiles() {
    TempCurrentDir dir;
    PageForm f;
    f.form->BitBtn1Click();
    QVERIFY(f.page->IsCurrent());
    const QString browserDir = f.form->DirectoryListBox1->Directory();

    // Export Profile CSV: the core's CSV of the run.
    f.saves->nextPath = dir.FilePath(QStringLiteral("profile.csv"));
    f.page->ExportCsvButton->click();
    QCOMPARE(f.saves->suggestions.back(), QDir(browserDir).filePath(QStringLiteral("profile.csv")));
    QCOMPARE(f.saves->filterLists.back().front(), QString::fromUtf8(CsvFilter));
    const QByteArray csv = ReadBytes(dir.FilePath(QStringLiteral("profile.csv")));
    QCOMPARE(csv, QByteArray::fromStdString(FormatProfileCsv(DeriveResults(f.form->Sim()))));
    QVERIFY(csv.startsWith("zone,step,time (s),"));
    QCOMPARE(csv.count("\r\n"), 603);

    // Save Chart: PNG, SVG by name, SVG by the chosen filter.
    f.saves->nextPath = dir.FilePath(QStringLiteral("chart.png"));
    f.page->SaveChartButton->click();
    QCOMPARE(f.saves->suggestions.back(), QDir(browserDir).filePath(QStringLiteral("profile.png")));
    QCOMPARE(f.saves->filterLists.back(),
             (QStringList{QString::fromUtf8(PngFilter), QString::fromUtf8(SvgFilter)}));
    QCOMPARE(FileStart(dir.FilePath(QStringLiteral("chart.png")), 8), QByteArray("\x89PNG\r\n\x1a\n"));
    QImage image(dir.FilePath(QStringLiteral("chart.png")));
    QCOMPARE(image.size(), QSize(SavedChartWidth, SavedChartHeight));
    f.saves->nextPath = dir.FilePath(QStringLiteral("chart.SVG"));
    f.page->SaveChartButton->click();
    const QByteArray svg = ReadBytes(dir.FilePath(QStringLiteral("chart.SVG")));
    QVERIFY(svg.startsWith("<?xml"));
    QVERIFY(svg.contains("<svg"));
    QVERIFY(svg.contains("Position from the entrance of zone 1 (m)"));
    f.saves->nextPath = dir.FilePath(QStringLiteral("bare"));
    f.saves->nextFilter = QString::fromUtf8(SvgFilter);
    f.page->SaveChartButton->click();
    QVERIFY(ReadBytes(dir.FilePath(QStringLiteral("bare.svg"))).contains("<svg"));
    QVERIFY(!QFile::exists(dir.FilePath(QStringLiteral("bare"))));

    // Save Conditions as Data File: the 120 lines of the window's entries.
    f.Type({{"Edit7", "21.5"}, {"Edit203", "0.25"}});
    f.saves->nextPath = dir.FilePath(QStringLiteral("conditions.txt"));
    f.page->SaveConditionsButton->click();
    QCOMPARE(f.saves->suggestions.back(), QDir(browserDir).filePath(QStringLiteral("conditions.txt")));
    QCOMPARE(ReadBytes(dir.FilePath(QStringLiteral("conditions.txt"))),
             QByteArray::fromStdString(FormatDataFile(*f.form)));
    QVERIFY(f.dialogs->errors.empty());

    // A cancelled dialog writes nothing.
    const int files = QDir(dir.Path()).entryList(QDir::Files).size();
    f.saves->nextPath.clear();
    f.page->SaveChartButton->click();
    f.page->ExportCsvButton->click();
    f.page->SaveConditionsButton->click();
    QCOMPARE(QDir(dir.Path()).entryList(QDir::Files).size(), files);
    QVERIFY(f.dialogs->errors.empty());
  }

  void savedDataFileLoadsBackToTheSameEntries() {
    TempCurrentDir dir;
    PageForm f;
    f.Type(kThreeZones);
    f.Type({{"Edit1", "0.07"}, {"Edit208", "0.45"}, {"Edit241", "1.3"}, {"Edit146", "0.06"}});
    f.saves->nextPath = dir.FilePath(QStringLiteral("typed once.txt"));
    f.page->SaveConditionsButton->click();
    QVERIFY(f.dialogs->errors.empty());

    RecordedForm other;
    other.dialogs->nextChoice = QStringList{dir.FilePath(QStringLiteral("typed once.txt"))};
    other.form->InputDataClick();
    QVERIFY(other.dialogs->messages.empty());
    int compared = 0;
    for (const ConditionField& field : ConditionFields()) {
      QCOMPARE(QString::fromStdString(other.form->Text(field.entryName)),
               QString::fromStdString(f.form->Text(field.entryName)));
      ++compared;
    }
    QCOMPARE(compared, 120);
    QCOMPARE(other.form->Entry("Edit146")->text(), QStringLiteral("0.06"));
  }

  void failuresAreReportedAndWriteNothing() {
    TempCurrentDir dir;
    PageForm f;
    f.form->BitBtn1Click();
    const QString missing = dir.FilePath(QStringLiteral("no/such/dir/"));
    const struct {
      QPushButton* button;
      const char* name;
      const char* error;
    } cases[] = {{f.page->SaveChartButton, "c.png", "The chart could not be saved as"},
                 {f.page->ExportCsvButton, "p.csv", "The profile could not be exported to"},
                 {f.page->SaveConditionsButton, "d.txt", "The conditions could not be saved as"}};
    for (const auto& c : cases) {
      f.dialogs->errors.clear();
      f.saves->nextPath = missing + QString::fromUtf8(c.name);
      c.button->click();
      QCOMPARE(f.dialogs->errors.size(), std::size_t{1});
      QVERIFY2(f.dialogs->errors.front().contains(QString::fromUtf8(c.error)),
               qPrintable(f.dialogs->errors.front()));
    }
    // A text a data file cannot hold: nothing is written, the old file stays.
    QVERIFY(WriteBytes(dir.FilePath(QStringLiteral("old.txt")), "old"));
    f.Type({{"Edit6", "1 0"}});
    f.dialogs->errors.clear();
    f.saves->nextPath = dir.FilePath(QStringLiteral("old.txt"));
    f.page->SaveConditionsButton->click();
    QCOMPARE(f.dialogs->errors.size(), std::size_t{1});
    QVERIFY(f.dialogs->errors.front().startsWith(QStringLiteral("The conditions cannot be saved as a data file")));
    QCOMPARE(ReadBytes(dir.FilePath(QStringLiteral("old.txt"))), QByteArray("old"));
  }
};

QTEST_MAIN(ProfilePageTest)
#include "profile_page_test.moc"
