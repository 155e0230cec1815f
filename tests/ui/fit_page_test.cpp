// The "Fit" page: measurements load (or are refused with the reader's message) and show as
// points over the Drying Profile chart; a fit started from the page finds the Keff that made
// the measurements, shows the fitted run, and changes the entry only when asked; the set-up
// lives in the line settings.
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineSeries>
#include <QPushButton>
#include <QScatterSeries>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>

#include <cmath>

#include "format/csv.h"
#include "format/entry_number.h"
#include "input/number_parse.h"
#include "results/line_profile.h"
#include "ui/widgets/fit_page.h"
#include "ui/widgets/line_page.h"
#include "ui/widgets/profile_page.h"
#include "ui_test_support.h"

using namespace tovimar;
using namespace tovimar::ui;
using namespace tovimar::ui::test;

namespace {

class AnsweringOpenDialog : public LineFileDialogs {
 public:
  QString ChooseSaveFile(QWidget*, const QString&, const QString&, const QStringList&, QString*) override {
    return {};
  }
  QString ChooseOpenFile(QWidget*, const QString&, const QString&, const QStringList&) override {
    return nextPath;
  }
  QString nextPath;
};

struct FitForm {
  FitForm() {
    profile = ProfilePage::AttachTo(*recorded.form);
    page = FitPage::AttachTo(*recorded.form, profile);
    auto dialog = std::make_unique<AnsweringOpenDialog>();
    open = dialog.get();
    page->SetFileDialogs(std::move(dialog));
    profile->EnsureChart();
  }
  TForm1& Form() { return *recorded.form; }
  void Run() {
    RunOptions options;
    options.writeResultFile = false;
    profile->RunFinished(RunSimulation(Form().Sim(), Form(), options));
  }
  int Points(MeasuredQuantity q) const { return static_cast<int>(profile->MeasuredPoints().Of(q)->count()); }
  RecordedForm recorded;
  ProfilePage* profile = nullptr;
  FitPage* page = nullptr;
  AnsweringOpenDialog* open = nullptr;
};

const char* const GoodFile =
    "position along the line (m),web temperature (C),solvent-1 residual ratio,solvent-2 residual ratio\r\n"
    "1,30,0.9,0.95\r\n"
    "4,45,,0.7\r\n"
    "9,60,0.2,\r\n";

// Noise-free measurements of the default conditions with Keff 1.8, every 2 m.
QByteArray SyntheticKeff18() {
  MapEntryTexts entries;
  entries.ForceText("Edit205", "1.8");
  Simulation sim;
  RunOptions options;
  options.writeResultFile = false;
  if (!RunSimulation(sim, entries, options).completed()) return {};
  const LineProfile profile = ProfileAlongLine(sim);
  const MeasuredQuantity measured[] = {MeasuredQuantity::WebTemp, MeasuredQuantity::Residual1,
                                       MeasuredQuantity::Residual2};
  std::string csv(MeasuredPositionTitle);
  for (MeasuredQuantity q : measured) {
    csv += ',';
    csv += MeasuredColumnOf(q).title;
  }
  csv += '\n';
  for (double x = 0; x <= profile.points.back().position; x += 2) {
    csv += ShortestNumberText(x);
    for (MeasuredQuantity q : measured) {
      csv += ',';
      csv += ShortestNumberText(*ModelValueAt(profile, q, x));
    }
    csv += "\n";
  }
  return QByteArray::fromStdString(csv);
}

class FitPageTest : public QObject {
  Q_OBJECT

 private slots:
  void measurementsShowOverEveryCompletedRun() {
    TempCurrentDir dir;
    FitForm f;
    QVERIFY(WriteBytes(dir.FilePath("m.csv"), GoodFile));
    f.Run();
    f.open->nextPath = dir.FilePath("m.csv");
    f.page->LoadClick();
    QVERIFY(f.page->Measurements().has_value());
    QCOMPARE(f.page->FileLabel->text(),
             QDir::toNativeSeparators(dir.FilePath("m.csv")) +
                 ": 7 measurements (3 of web temperature (C), 2 of solvent-1 residual ratio, "
                 "2 of solvent-2 residual ratio)");
    QCOMPARE(f.Points(MeasuredQuantity::WebTemp), 3);
    QCOMPARE(f.Points(MeasuredQuantity::Residual1), 2);
    QCOMPARE(f.Points(MeasuredQuantity::Residual2), 2);
    QVERIFY(f.profile->MeasuredPoints().Of(MeasuredQuantity::Weight1) == nullptr);
    const QScatterSeries* web = f.profile->MeasuredPoints().Of(MeasuredQuantity::WebTemp);
    QCOMPARE(web->name(), QStringLiteral("measured web temperature"));
    QCOMPARE(web->color(), f.profile->Chart.webTemp->pen().color());
    QCOMPARE(web->at(1), QPointF(4, 45));

    // A run that does not complete leaves no curve and no points; the next run has both.
    const std::string speed = f.Form().Text("Edit6");
    f.Form().SetText("Edit6", "abc");
    f.Run();
    QCOMPARE(f.profile->Chart.webTemp->count(), 0);
    QCOMPARE(f.Points(MeasuredQuantity::WebTemp), 0);
    f.Form().SetText("Edit6", speed);
    f.Run();
    QCOMPARE(f.Points(MeasuredQuantity::WebTemp), 3);
  }

  void aRefusedFileShowsTheReadersMessageAndChangesNothing() {
    TempCurrentDir dir;
    FitForm f;
    QVERIFY(WriteBytes(dir.FilePath("m.csv"), GoodFile));
    QVERIFY(WriteBytes(dir.FilePath("bad.csv"), "position along the line (m),web temperature (C)\n1,30\n2,hot\n"));
    f.Run();
    QVERIFY(f.page->LoadMeasurements(dir.FilePath("m.csv")));
    for (const QString& name : {QStringLiteral("bad.csv"), QStringLiteral("missing.csv")}) {
      QVERIFY(!f.page->LoadMeasurements(dir.FilePath(name)));
      QVERIFY(f.page->Measurements().has_value());
      QCOMPARE(f.Points(MeasuredQuantity::WebTemp), 3);
      QCOMPARE(f.Form().Line().Fit.measurementFile, dir.FilePath("m.csv").toStdString());
    }
    QCOMPARE(f.recorded.dialogs->errors.size(), std::size_t{2});
    QVERIFY2(f.recorded.dialogs->errors[0].startsWith("The measurements could not be loaded:\n\n" +
                                                      QFile::encodeName(dir.FilePath("bad.csv")) +
                                                      ": line 3, column 2: "),
             qPrintable(f.recorded.dialogs->errors[0]));
    QVERIFY(f.page->FileLabel->text().startsWith(QDir::toNativeSeparators(dir.FilePath("m.csv")) + ": "));
  }

  void startRefusesWhatItCannotFit() {
    TempCurrentDir dir;
    FitForm f;
    QVERIFY(WriteBytes(dir.FilePath("m.csv"), GoodFile));
    f.page->StartClick();
    QCOMPARE(f.page->StatusText(), QStringLiteral("Load a measurement file first: there is nothing to fit to."));
    QVERIFY(f.page->LoadMeasurements(dir.FilePath("m.csv")));
    f.page->StartClick();
    QCOMPARE(f.page->StatusText(), QStringLiteral("Add at least one parameter to fit."));
    f.page->AddParameter("Keff", "3", "1");
    f.page->StartClick();
    QCOMPARE(f.page->StatusText(), QStringLiteral("Parameter 1 is refused: the lower bound must lie "
                                                  "below the upper one in \"Keff=3:1\""));
    f.page->RemoveParameter();
    // The Increment of z is not offered, and refused when typed.
    f.page->AddParameter("StepLength");
    const auto* combo = qobject_cast<QComboBox*>(f.page->ParameterTable->cellWidget(0, 0));
    QCOMPARE(combo->findText(QStringLiteral("StepLength")), -1);
    QVERIFY(combo->findText(QStringLiteral("Keff")) >= 0);
    f.page->StartClick();
    QCOMPARE(f.page->StatusText(),
             QStringLiteral("Parameter 1 is refused: the Increment of z (StepLength) is a setting of the "
                            "numerical march, not a physical condition: it cannot be fitted"));
    f.page->RemoveParameter();
    f.page->AddParameter("Keff");
    f.page->SetStandardDeviation(MeasuredQuantity::WebTemp, "0");
    f.page->StartClick();
    QVERIFY(!f.page->Running());
    QVERIFY(f.page->StatusText().startsWith("The standard deviation is refused: "));
  }

  void fitFindsKeffAndUsesItOnlyWhenAsked() {
    TempCurrentDir dir;
    FitForm f;
    const QByteArray csv = SyntheticKeff18();
    QVERIFY(!csv.isEmpty());
    QVERIFY(WriteBytes(dir.FilePath("keff.csv"), csv));
    QVERIFY(f.page->LoadMeasurements(dir.FilePath("keff.csv")));
    f.page->AddParameter("Keff");
    QVERIFY(!f.page->UseButton->isEnabled());
    QSignalSpy finished(f.page, &FitPage::FitFinished);
    f.page->StartClick();
    QVERIFY(f.page->Running());
    QVERIFY(finished.wait(120000));
    QVERIFY2(f.page->Result()->converged(), f.page->Result()->message.c_str());
    const double fitted = f.page->Result()->values.at(0).value;
    QVERIFY2(std::abs(fitted - 1.8) <= 1e-6 * 1.8, qPrintable(QString::number(fitted, 'g', 17)));
    QCOMPARE(f.page->ResultTable->item(0, 0)->text(), QStringLiteral("Dryer Efficiency Parameter Keff"));
    QCOMPARE(f.page->ResultTable->item(0, 2)->text(), QStringLiteral("1.8"));
    // The fitted run is on the Drying Profile page with the measurements over it.
    QVERIFY(f.profile->IsCurrent());
    QCOMPARE(f.Points(MeasuredQuantity::WebTemp), static_cast<int>(f.page->Measurements()->Count(MeasuredQuantity::WebTemp)));
    QCOMPARE(f.Form().Text("Edit205"), std::string("1.5"));  // not yet asked
    QVERIFY(f.page->UseButton->isEnabled());
    f.page->UseClick();
    // The shortest decimal within a part in 10^9 of the fitted value.
    QCOMPARE(f.Form().Text("Edit205"), EntryNumberText(fitted));
    QVERIFY(std::abs(*ParseNumber(f.Form().Text("Edit205")) - fitted) <= 1e-9 * fitted);
  }

  void setUpRoundTripsThroughTheLineSettings() {
    TempCurrentDir dir;
    FitForm f;
    QVERIFY(WriteBytes(dir.FilePath("m.csv"), GoodFile));
    QVERIFY(f.page->LoadMeasurements(dir.FilePath("m.csv")));
    f.page->AddParameter("Keff", "1", "");
    f.page->AddParameter("ZoneAirTemp[2]");
    f.page->SetStandardDeviation(MeasuredQuantity::Residual2, "0.05");
    const FitSetup& setup = f.Form().Line().Fit;
    QCOMPARE(setup.measurementFile, dir.FilePath("m.csv").toStdString());
    QCOMPARE(setup.parameters, (std::vector<std::string>{"Keff=1:", "ZoneAirTemp[2]"}));
    QCOMPARE(setup.standardDeviations, std::vector<std::string>{"solvent-2 residual ratio=0.05"});

    // A line file loaded: the page shows its set-up and loads its measurements.
    FitForm other;
    other.Form().Line().Fit = setup;
    emit other.Form().LineSettingsLoaded();
    QCOMPARE(other.page->ParameterTable->rowCount(), 2);
    QCOMPARE(other.page->SdTable->item(2, 1)->text(), QStringLiteral("0.05"));
    QCOMPARE(other.page->SdTable->item(0, 1)->text(), QStringLiteral("1"));
    QVERIFY(other.page->Measurements().has_value());
    QCOMPARE(other.Form().Line().Fit.parameters, setup.parameters);
    QCOMPARE(other.Form().Line().Fit.standardDeviations, setup.standardDeviations);
    // ... and one whose measurement file is gone: the error box, no measurements, and the
    // file still named in the set-up, so that saving the line file keeps it.
    other.Form().Line().Fit = FitSetup{dir.FilePath("gone.csv").toStdString(), {"Keff"}, {}};
    emit other.Form().LineSettingsLoaded();
    QCOMPARE(other.recorded.dialogs->errors.size(), std::size_t{1});
    QVERIFY(!other.page->Measurements().has_value());
    QCOMPARE(other.Form().Line().Fit.measurementFile, dir.FilePath("gone.csv").toStdString());
    QCOMPARE(other.page->ParameterTable->rowCount(), 1);
    QCOMPARE(other.page->SdTable->item(2, 1)->text(), QStringLiteral("0.01"));
  }
};

}  // namespace

QTEST_MAIN(FitPageTest)
#include "fit_page_test.moc"
