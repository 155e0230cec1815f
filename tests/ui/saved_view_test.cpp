// What the Drying Profile page saves is the run it shows: after a search, the best point's
// run with its conditions in the report and the profile CSV; the chart with exactly the
// curves on show; the report's chart with text that stays legible on A4.
#include <QChart>
#include <QCheckBox>
#include <QFontInfo>
#include <QPageSize>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>

#include "input/field_catalogue.h"
#include "results/profile_csv.h"
#include "ui/widgets/chart_legend.h"
#include "ui/widgets/main_window.h"
#include "ui/widgets/optimise_page.h"
#include "ui/widgets/pinned_overlay.h"
#include "ui/widgets/run_report.h"
#include "ui_test_support.h"

using namespace tovimar;
using namespace tovimar::ui;
using namespace tovimar::ui::test;

namespace {

using Window = RecordedWindow;

QString PdfText(const QString& path) {
  QProcess process;
  process.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
  process.waitForFinished(30000);
  return QString::fromUtf8(process.readAllStandardOutput()).simplified();
}

// Every name a series of the page's chart may carry, pinned runs' curves included.
QStringList SeriesNames(const ProfilePage& page) {
  QStringList names;
  for (const QAbstractSeries* series : page.Chart.chart->series()) {
    if (!series->name().isEmpty()) names << series->name();
  }
  return names;
}

QStringList LegendNames(const ProfilePage& page) {
  QStringList names;
  for (const ChartLegend::Entry& entry : page.ChartPanel()->Legend()->Entries()) names << entry.text;
  return names;
}

}  // namespace

class SavedViewTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { ConfigureTestApplication(); }

  void searchBestPointIsWhatIsSaved() {
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty()) {
      QSKIP("pdftotext (poppler-utils) is needed");
    }
    TempCurrentDir dir;
    Window w;
    auto* search = w.main.form->findChild<OptimisePage*>();
    QVERIFY(search != nullptr);
    search->AddVariable(QStringLiteral("LineSpeed"), 0.1, 3);
    search->AddLimit(QStringLiteral("LineEndResidualSolvent"), LimitSense::AtMost, 2);
    QSignalSpy finished(search, &OptimisePage::SearchFinished);
    search->StartClick();
    QVERIFY(finished.wait(60000));
    ProfilePage& page = *w.main.profile;
    QVERIFY(page.IsCurrent());
    const std::string speedEntry = FindField("LineSpeed")->entryName;
    const std::string best = page.ShownInputs().entries.at(speedEntry);
    QCOMPARE(w.main.form->Text(speedEntry), std::string("1.0"));  // the entries stay
    QVERIFY(best != "1.0");

    const QString pdf = dir.FilePath(QStringLiteral("best.pdf"));
    QVERIFY(page.SaveReport(pdf));
    const QString text = PdfText(pdf);
    // The unit may wrap under a long value: the name and the value are what tell.
    QVERIFY2(text.contains(QStringLiteral("Speed %1 ").arg(QString::fromStdString(best))), qPrintable(text));
    QVERIFY(!text.contains(QStringLiteral("Speed 1.0 m/s")));

    // The CSV is the profile of a run of the shown conditions, not of the entries.
    const QString csv = dir.FilePath(QStringLiteral("best.csv"));
    QVERIFY(page.ExportCsv(csv));
    Simulation sim;
    RunOptions options;
    options.writeResultFile = false;
    QVERIFY(RunSimulation(sim, EntriesOf(page.ShownInputs()), options).completed());
    const std::string expected = FormatProfileCsv(DeriveResults(sim, page.ShownInputs().line));
    QCOMPARE(ReadBytes(csv), QByteArray::fromStdString(expected));
    QVERIFY(RunSimulation(sim, *w.main.form, options).completed());
    QVERIFY(FormatProfileCsv(DeriveResults(sim, w.main.form->Line())) != expected);
    QVERIFY(w.dialogs->errors.empty());
  }

  void savedChartNamesExactlyTheCurvesShown() {
    TempCurrentDir dir;
    Window w;
    ProfilePage& page = *w.main.profile;
    w.main.form->Line().ResidualTarget = 2;
    w.main.form->SetText("Edit6", "0.5");
    w.Run();
    QVERIFY(page.PinRun(QStringLiteral("Slow line")));
    w.main.form->SetText("Edit6", "1.0");
    w.Run();
    const QStringList all = SeriesNames(page);
    QVERIFY(all.contains(QStringLiteral("Residual target")));
    // Each switch alone, then both: the saved chart's texts are the legend's names.
    for (const auto& [margin, residual] : {std::pair{true, false}, std::pair{false, true}, std::pair{true, true}}) {
      page.MarginCheck->setChecked(margin);
      page.ResidualCheck->setChecked(residual);
      const QString path = dir.FilePath(QStringLiteral("chart.svg"));
      QVERIFY(page.SaveChart(path));
      const QByteArray svg = ReadBytes(path);
      const QStringList shown = LegendNames(page);
      QCOMPARE(shown.contains(QStringLiteral("Boiling margin")), margin);
      QCOMPARE(shown.contains(QStringLiteral("Residual solvent")), residual);
      QVERIFY(shown.contains(QStringLiteral("Slow line")));
      for (const QString& name : all) {
        QVERIFY2(svg.contains('>' + name.toUtf8() + '<') == shown.contains(name), qPrintable(name));
      }
    }
  }

  void reportChartTextIsAtLeast8PointOnA4() {
    Window w;
    w.Run();
    const ChartContent content = w.main.profile->ShownChart();
    const ReportChart chart = DrawReportChart(content);
    const double a4 = QPageSize(QPageSize::A4).size(QPageSize::Millimeter).width();
    QCOMPARE(ReportChartWidthPt, (a4 - 40) / 25.4 * 72);
    QVERIFY(!chart.layoutSize.isEmpty());
    QCOMPARE(chart.image.width() % chart.layoutSize.width(), 0);
    // The page's chart and the report's have the same texts; each lands at 8 pt or more.
    const QList<QFont> fonts = w.main.profile->ChartPanel()->TextFonts();
    QVERIFY(fonts.size() >= 10);
    for (const QFont& font : fonts) {
      const double points = QFontInfo(font).pixelSize() * ReportChartWidthPt / chart.layoutSize.width();
      QVERIFY2(points >= 8, qPrintable(QString::number(points)));
    }
    // At the saved chart's size the same texts would be too small: the report's is narrower.
    QVERIFY(chart.layoutSize.width() < SavedChartWidth);
  }
};

QTEST_MAIN(SavedViewTest)
#include "saved_view_test.moc"
