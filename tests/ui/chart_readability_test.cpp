// The Drying Profile page at the window's own size with all it can hold: every curve on, a
// warning listed and five runs pinned. No text of the chart, its legend or the zone table is
// shortened, and no two curves look alike (the pinned runs' styles: compare_page_test).
#include <set>
#include <utility>

#include <QCheckBox>
#include <QChart>
#include <QChartView>
#include <QGraphicsScene>
#include <QGraphicsTextItem>
#include <QHeaderView>
#include <QLabel>
#include <QLineSeries>
#include <QStyle>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QValueAxis>

#include "ui/widgets/chart_legend.h"
#include "ui/widgets/curve_styles.h"
#include "ui/widgets/main_window.h"
#include "ui/widgets/pin_board.h"
#include "ui/widgets/window_layout.h"
#include "ui_test_support.h"

using namespace tovimar;
using namespace tovimar::ui;
using namespace tovimar::ui::test;

namespace {

// The window after a default run judged against an exhaust too weak for zone 1 (a warning)
// and a residual target, both judging curves on, five runs at other speeds pinned over it.
struct CrowdedWindow {
  CrowdedWindow() : main(BuildMainWindow()) {
    main.form->SetDialogs(std::make_unique<RecordingDialogs>());
    main.form->Line().ZoneExhaustFlow[1] = 10000;
    main.form->Line().ResidualTarget = 2;
    const std::string speed = main.form->Text("Edit6");
    for (const char* pinned : {"0.5", "0.7", "1.3", "1.6", "2.0"}) {
      main.form->SetText("Edit6", pinned);
      Run();
      main.profile->PinRun(QStringLiteral("Speed %1 m/s").arg(QLatin1String(pinned)));
    }
    main.form->SetText("Edit6", speed);
    Run();
    main.profile->MarginCheck->setChecked(true);
    main.profile->ResidualCheck->setChecked(true);
    main.form->show();
    main.form->TabbedNotebook1->setCurrentWidget(main.profile);
    QCoreApplication::processEvents();
  }
  void Run() {
    RunOptions options;
    options.writeResultFile = false;
    main.profile->RunFinished(RunSimulation(main.form->Sim(), *main.form, options));
  }
  MainWindow main;
};

bool Shortened(const QString& text) {
  return text.contains(QChar(0x2026)) || text.contains(QLatin1String("..."));
}

}  // namespace

class ChartReadabilityTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { ConfigureTestApplication(); }

  void everyCurveHasAColourAndADashOfItsOwn() {
    std::set<QRgb> colours;
    std::set<QList<qreal>> dashes;
    for (const CurveStyle& style : CurveStyles()) {
      QVERIFY2(colours.insert(style.colour.rgb()).second, qPrintable(style.colour.name()));
      QVERIFY(dashes.insert(style.dashes).second);
    }
    // The chart draws each curve in its style.
    QChart chart;
    const ProfileChartParts parts = BuildProfileChart(&chart);
    const std::pair<QLineSeries*, ChartCurve> curves[] = {
        {parts.webTemp, ChartCurve::WebTemp},          {parts.airTemp, ChartCurve::AirTemp},
        {parts.residual1, ChartCurve::Residual1},      {parts.residual2, ChartCurve::Residual2},
        {parts.boilingMargin, ChartCurve::BoilingMargin}, {parts.residualGrams, ChartCurve::ResidualSolvent},
        {parts.residualTarget, ChartCurve::ResidualTarget}};
    for (const auto& [series, curve] : curves) {
      QCOMPARE(series->pen(), PenOf(StyleOf(curve)));
    }
    QCOMPARE(PenOf(StyleOf(ChartCurve::WebTemp)).style(), Qt::SolidLine);
    QCOMPARE(PenOf(PinnedStyle(0)).style(), Qt::CustomDashLine);
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, static_cast<void>(PinnedStyle(MaxPinnedRuns)));
  }

  void crowdedPageShortensNoText() {
    CrowdedWindow w;
    ProfilePage* page = w.main.profile;
    QCOMPARE(w.main.form->size(), QSize(LayoutWidth, LayoutHeight));
    QVERIFY(page->WarningsLabel->isVisible());
    QCOMPARE(page->Pinned().Runs().size(), MaxPinnedRuns);

    // The legend: seven curves of the run and the five pinned runs, each name whole within
    // its box, every box within the legend, the legend within the panel.
    const ChartLegend* legend = page->ChartPanel()->Legend();
    QCOMPARE(legend->Entries().size(), std::size_t{12});
    QCOMPARE(legend->Entries().back().text, QStringLiteral("Speed 2.0 m/s"));
    const QFontMetrics legendMetrics(legend->font());
    const std::vector<QRect> boxes = legend->TextRects();
    for (std::size_t i = 0; i < boxes.size(); ++i) {
      const QString& text = legend->Entries()[i].text;
      QVERIFY2(legendMetrics.horizontalAdvance(text) <= boxes[i].width(), qPrintable(text));
      QVERIFY2(legend->rect().contains(boxes[i]), qPrintable(text));
    }
    QVERIFY(page->ChartPanel()->rect().contains(legend->geometry()));

    // The chart: no tick label or title drawn shortened, every axis title drawn whole.
    QStringList drawn;
    for (const QGraphicsItem* item : page->ChartView->scene()->items()) {
      const auto* text = dynamic_cast<const QGraphicsTextItem*>(item);
      if (text == nullptr || !text->isVisible()) continue;
      drawn << text->toPlainText();
      QVERIFY2(!Shortened(drawn.back()), qPrintable(drawn.back()));
    }
    for (const QAbstractAxis* axis : page->Chart.chart->axes()) {
      if (axis->isVisible()) QVERIFY2(drawn.contains(axis->titleText()), qPrintable(axis->titleText()));
    }
    QVERIFY(drawn.contains(QStringLiteral("Boiling margin (K)")));

    // The zone table: every line of every header within its section, all lines within the
    // header's height, every section within the table's width (no scrolling).
    const QTableWidget* table = page->SummaryTable;
    const QHeaderView* header = table->horizontalHeader();
    const QFontMetrics headerMetrics(header->font());
    const int margin = header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
    for (int column = 0; column < table->columnCount(); ++column) {
      const QStringList lines = table->horizontalHeaderItem(column)->text().split(QLatin1Char('\n'));
      for (const QString& line : lines) {
        QVERIFY2(headerMetrics.horizontalAdvance(line) + 2 * margin <= header->sectionSize(column),
                 qPrintable(line));
      }
      QVERIFY(static_cast<int>(lines.size()) * headerMetrics.lineSpacing() <= header->height());
      QVERIFY(table->horizontalHeaderItem(column)->toolTip().startsWith(lines.join(QLatin1Char(' '))));
    }
    QVERIFY(header->length() <= table->viewport()->width());
    QVERIFY(table->horizontalHeaderItem(SummaryEvaporated1)->text().startsWith(QStringLiteral("Solvent-1\n")));
    QVERIFY(table->horizontalHeaderItem(SummaryEvaporated2)->text().startsWith(QStringLiteral("Solvent-2\n")));
  }
};

QTEST_MAIN(ChartReadabilityTest)
#include "chart_readability_test.moc"
