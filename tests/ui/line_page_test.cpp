// The "Line" page: its entries and zone table set the line settings each run is judged
// against, a bad value is refused with a message, the line file goes through its buttons,
// and the profile chart shows the boiling margin and the residual solvent when asked.
#include <functional>
#include <memory>

#include <QCheckBox>
#include <QChart>
#include <QLineEdit>
#include <QLineSeries>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QValueAxis>

#include "conditionfile/line_file.h"
#include "results/output_catalogue.h"
#include "ui/widgets/line_page.h"
#include "ui/widgets/profile_page.h"
#include "ui/widgets/zone_table.h"
#include "ui_test_support.h"

using namespace tovimar;
using namespace tovimar::ui;
using namespace tovimar::ui::test;

namespace {

struct LineForm {
  LineForm() {
    profile = ProfilePage::AttachTo(*recorded.form);
    line = LinePage::AttachTo(*recorded.form);
    auto answering = std::make_unique<AnsweringFileDialogs>();
    files = answering.get();
    line->SetFileDialogs(std::move(answering));
  }
  LineSettings& Settings() { return recorded.form->Line(); }
  // Types into an entry as the user does; `finish` presses Return (editing finished).
  void Type(const char* name, const QString& text, bool finish = true) {
    QLineEdit* entry = line->Entry(name);
    entry->selectAll();
    QTest::keyClick(entry, Qt::Key_Delete);
    QTest::keyClicks(entry, text);
    if (finish) QTest::keyClick(entry, Qt::Key_Return);
  }
  void TypeCell(int zone, int column, const QString& text) {
    line->ZoneTable->item(zone - 1, column)->setText(text);
  }
  RecordedForm recorded;
  ProfilePage* profile = nullptr;
  LinePage* line = nullptr;
  AnsweringFileDialogs* files = nullptr;
};

class LinePageTest : public QObject {
  Q_OBJECT

 private slots:
  void entriesSetTheLineSettings() {
    struct Row {
      const char* name;
      QString text;
      std::function<double(const LineSettings&)> value;
      double expected;
    };
    const Row rows[] = {
        {"WebWidth", "1.25", [](const LineSettings& s) { return s.WebWidth; }, 1.25},
        {"LEL1", "1.6", [](const LineSettings& s) { return s.LEL1; }, 1.6},
        {"LEL2", "0.9", [](const LineSettings& s) { return s.LEL2; }, 0.9},
        {"LELLimit", "40", [](const LineSettings& s) { return s.LELLimit; }, 40},
        {"ResidualTarget", "0.5", [](const LineSettings& s) { return s.ResidualTarget.value_or(-1); }, 0.5},
        {"ResidualTarget", "", [](const LineSettings& s) { return s.ResidualTarget.value_or(-1); }, -1},
        {"BoilingMarginMin", "7.5", [](const LineSettings& s) { return s.BoilingMarginMin; }, 7.5},
    };
    LineForm f;
    for (const Row& row : rows) {
      f.Type(row.name, row.text);
      QCOMPARE(row.value(f.Settings()), row.expected);
    }
    f.TypeCell(3, 0, QStringLiteral("8000.5"));
    f.TypeCell(3, 1, QStringLiteral("50"));
    QCOMPARE(f.Settings().ZoneExhaustFlow[3].value_or(-1), 8000.5);
    QCOMPARE(f.Settings().ZoneLELLimit[3].value_or(-1), 50.0);
    // 0 is a zone without exhaust air, shown as 0; an empty cell is a zone given no flow.
    f.TypeCell(3, 0, QStringLiteral("0"));
    QCOMPARE(f.Settings().ZoneExhaustFlow[3].value_or(-1), 0.0);
    QCOMPARE(f.line->ZoneTable->item(2, 0)->text(), QStringLiteral("0"));
    f.TypeCell(3, 0, QString());
    QVERIFY(!f.Settings().ZoneExhaustFlow[3].has_value());
    QCOMPARE(f.line->ZoneTable->item(2, 0)->text(), QString());
    f.TypeCell(3, 1, QString());
    QVERIFY(!f.Settings().ZoneLELLimit[3].has_value());
    QCOMPARE(f.Settings().LELLimitOfZone(3), 40.0);
    QVERIFY(f.recorded.dialogs->messages.empty());
  }

  void nextRunJudgesTheZoneExhaust() {
    TempCurrentDir dir;
    LineForm f;
    f.TypeCell(1, 0, QStringLiteral("10000"));
    // Typed but not finished: the run applies it as it starts.
    f.Type("LELLimit", QStringLiteral("30"), false);
    QCOMPARE(f.Settings().LELLimit, 25.0);
    f.recorded.form->BitBtn1Click();
    QCOMPARE(f.Settings().LELLimit, 30.0);
    QVERIFY(f.profile->IsCurrent());
    QCOMPARE(f.profile->SummaryTable->item(0, SummaryExhaustLEL)->text(), QStringLiteral("44.1"));
  }

  void badValuesAreRefusedWithAMessage() {
    struct Row {
      const char* name;
      QString text;
      QString shownAfter;
      QString caption;  // what the message names
    };
    const Row rows[] = {
        {"WebWidth", "abc", "1", "Coated web width (m)"},
        {"WebWidth", "", "1", "Coated web width (m)"},
        {"WebWidth", "1,5", "1", "Coated web width (m)"},
        {"LEL1", "0", "1.4", "Lower explosive limit of solvent-1 (vol %)"},
        {"LEL2", "-1", "1.1", "Lower explosive limit of solvent-2 (vol %)"},
        {"BoilingMarginMin", "x", "0", "Least margin below boiling (K)"},
        {"ResidualTarget", "-2", "", "Residual solvent target (g/m2)"},
    };
    LineForm f;
    std::size_t messages = 0;
    for (const Row& row : rows) {
      f.Type(row.name, row.text);
      QCOMPARE(f.recorded.dialogs->messages.size(), ++messages);
      QVERIFY2(f.recorded.dialogs->messages.back().startsWith(row.caption),
               qPrintable(f.recorded.dialogs->messages.back()));
      QCOMPARE(f.line->Entry(row.name)->text(), row.shownAfter);
    }
    f.TypeCell(2, 0, QStringLiteral("-5"));
    QCOMPARE(f.recorded.dialogs->messages.size(), ++messages);
    QCOMPARE(f.line->ZoneTable->item(1, 0)->text(), QString());
    QCOMPARE(FormatLineSettings(f.Settings()), FormatLineSettings(LineSettings{}));
  }

  void lineFileRoundTrip() {
    TempCurrentDir dir;
    LineForm f;
    f.Type("WebWidth", QStringLiteral("1.3"));
    f.Type("ResidualTarget", QStringLiteral("0.75"));
    f.TypeCell(2, 0, QStringLiteral("9000"));
    f.TypeCell(14, 1, QStringLiteral("45"));
    const std::string written = FormatLineSettings(f.Settings());
    f.files->nextPath = dir.FilePath(QStringLiteral("line.json"));
    f.line->SaveButton->click();
    QCOMPARE(ReadBytes(f.files->nextPath).toStdString(), written);

    f.Settings() = LineSettings{};
    f.line->ShowSettings();
    f.line->LoadButton->click();
    QCOMPARE(FormatLineSettings(f.Settings()), written);
    QCOMPARE(f.line->Entry("WebWidth")->text(), QStringLiteral("1.3"));
    QCOMPARE(f.line->ZoneTable->item(1, 0)->text(), QStringLiteral("9000"));

    // A refused file leaves the settings alone.
    QVERIFY(WriteBytes(f.files->nextPath, "{\"WebWidth\": -1}"));
    f.line->LoadButton->click();
    QCOMPARE(f.recorded.dialogs->errors.size(), std::size_t{1});
    QCOMPARE(FormatLineSettings(f.Settings()), written);
  }

  void judgingCurvesFollowTheCheckBoxes() {
    TempCurrentDir dir;
    LineForm f;
    f.TypeCell(1, 0, QStringLiteral("10000"));
    f.Type("ResidualTarget", QStringLiteral("1.5"));
    f.recorded.form->BitBtn1Click();
    QVERIFY(f.profile->IsCurrent());
    const ProfileChartParts& chart = f.profile->Chart;
    QVERIFY(!f.profile->MarginCheck->isChecked() && !f.profile->ResidualCheck->isChecked());
    for (QLineSeries* series : {chart.boilingMargin, chart.residualGrams, chart.residualTarget}) {
      QVERIFY(!series->isVisible());
    }
    QVERIFY(!chart.marginAxis->isVisible() && !chart.gramsAxis->isVisible());

    f.profile->MarginCheck->setChecked(true);
    f.profile->ResidualCheck->setChecked(true);
    const RunResults expected = DeriveResults(f.recorded.form->Sim(), f.Settings());
    const auto n = static_cast<qsizetype>(f.profile->Profile().points.size());
    QVERIFY(chart.boilingMargin->isVisible() && chart.marginAxis->isVisible());
    QVERIFY(chart.residualGrams->isVisible() && chart.gramsAxis->isVisible());
    QCOMPARE(chart.boilingMargin->count(), n);
    QCOMPARE(chart.residualGrams->count(), n);
    for (qsizetype i = 0; i < n; ++i) {
      const auto k = static_cast<std::size_t>(i);
      QCOMPARE(chart.boilingMargin->at(i).y(), expected.judgement.boilingMargin[k].value());
      QCOMPARE(chart.residualGrams->at(i).y(), expected.judgement.residualGrams[k]);
      QCOMPARE(chart.boilingMargin->at(i).x(), f.profile->Profile().points[k].position);
    }
    QCOMPARE(chart.residualTarget->count(), 2);
    QCOMPARE(chart.residualTarget->at(0).y(), 1.5);

    f.profile->MarginCheck->setChecked(false);
    QVERIFY(!chart.boilingMargin->isVisible() && !chart.marginAxis->isVisible());
    QVERIFY(chart.residualGrams->isVisible());
  }
};

}  // namespace

QTEST_MAIN(LinePageTest)
#include "line_page_test.moc"
