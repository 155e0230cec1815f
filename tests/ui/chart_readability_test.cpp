// The Drying Profile page at the window's own size with all it can hold: every curve on, a
// warning listed and five runs pinned. No text of the chart, its legend or the zone table is
// shortened, and no two curves look alike (the pinned runs' styles: compare_page_test).
#include <set>
#include <string_view>
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
#include "ui/widgets/depth_chart.h"
#include "ui/widgets/main_window.h"
#include "ui/widgets/pin_board.h"
#include "ui/widgets/window_layout.h"
#include "ui_test_support.h"

using namespace tovimar;
using namespace tovimar::ui;
using namespace tovimar::ui::test;

namespace {

// The window after a default run judged against an exhaust too weak for zone 1 (a warning)
// and a residual target, both judging curves on, five runs at other speeds pinned over it,
// every run made by the drying model `model`.
struct CrowdedWindow : RecordedWindow {
  explicit CrowdedWindow(std::string_view model = LumpedModelName) {
    main.form->Line().Model.name = std::string(model);
    main.form->Line().ZoneExhaustFlow[1] = 10000;
    main.form->Line().ResidualTarget = 2;
    const std::string speed = main.form->Text("Edit6");
    for (const char* pinned : {"0.5", "0.7", "1.3", "1.6", "2.0"}) {
      main.form->SetText("Edit6", pinned);
      Run();
      main.profile->PinRun(QStringLiteral("Speed %1 m/s").arg(QLatin1String(pinned)));
    }
    main.form->SetText("Edit6", speed);
    main.form->show();
    Run();
    main.profile->MarginCheck->setChecked(true);
    main.profile->ResidualCheck->setChecked(true);
    main.form->TabbedNotebook1->setCurrentWidget(main.profile);
    QCoreApplication::processEvents();
  }
};

// The least plot a chart is read from: its height, and the width of the profile chart's and
// of the narrower chart through the coating.
constexpr qreal MinPlotHeight = 150;
constexpr qreal MinPlotWidth = 200;
constexpr qreal MinDepthPlotWidth = 300;

bool Shortened(const QString& text) {
  return text.contains(QChar(0x2026)) || text.contains(QLatin1String("..."));
}

// Every name of the legend whole within its box, every box within the legend, the legend
// within `holder`.
void CheckLegendWhole(const ChartLegend* legend, const QWidget* holder) {
  const QFontMetrics legendMetrics(legend->font());
  const std::vector<QRect> boxes = legend->TextRects();
  QCOMPARE(boxes.size(), legend->Entries().size());
  for (std::size_t i = 0; i < boxes.size(); ++i) {
    const QString& text = legend->Entries()[i].text;
    QVERIFY2(legendMetrics.horizontalAdvance(text) <= boxes[i].width(), qPrintable(text));
    QVERIFY2(legend->rect().contains(boxes[i]), qPrintable(text));
  }
  QVERIFY(holder->rect().contains(legend->geometry()));
}

// The texts drawn in the chart of `view` into `drawn`; what is wrong with them (empty: nothing):
// a tick label or title drawn shortened, a visible axis's title or the chart's title not
// drawn whole.
QString ChartTextsWrong(const QChartView* view, QStringList& drawn) {
  for (const QGraphicsItem* item : view->scene()->items()) {
    const auto* text = dynamic_cast<const QGraphicsTextItem*>(item);
    if (text == nullptr || !text->isVisible()) continue;
    drawn << text->toPlainText();
    if (Shortened(drawn.back())) return QStringLiteral("shortened: ") + drawn.back();
  }
  QStringList titles{view->chart()->title()};
  for (const QAbstractAxis* axis : view->chart()->axes()) {
    if (axis->isVisible()) titles << axis->titleText();
  }
  for (const QString& title : titles) {
    if (!title.isEmpty() && !drawn.contains(title)) return QStringLiteral("not whole: ") + title;
  }
  return {};
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

    // The legend: seven curves of the run and the five pinned runs, each name whole.
    const ChartLegend* legend = page->ChartPanel()->Legend();
    QCOMPARE(legend->Entries().size(), std::size_t{12});
    QCOMPARE(legend->Entries().back().text, QStringLiteral("Speed 2.0 m/s"));
    CheckLegendWhole(legend, page->ChartPanel());
    // A lumped run has no chart through the coating.
    QVERIFY(!page->DepthPanel()->isVisible());

    // The chart: no tick label or title drawn shortened, every axis title drawn whole.
    QStringList drawn;
    const QString wrong = ChartTextsWrong(page->ChartView, drawn);
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
    QVERIFY2(drawn.contains(QStringLiteral("Boiling margin (K)")), qPrintable(drawn.join(QLatin1Char('|'))));

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

  // After a diffusion run the chart through the coating stands beside the profile chart:
  // the profile chart is not squeezed (its plot keeps a usable height and width), the chart
  // through the coating keeps a usable plot, and no text of either is shortened.
  void crowdedDiffusionPageKeepsBothChartsReadable() {
    const int lumpedChartHeight = CrowdedWindow().main.profile->ChartPanel()->height();
    CrowdedWindow w(DiffusionModelName);
    ProfilePage* page = w.main.profile;
    DepthChartPanel* depth = page->DepthPanel();
    // The window grew by the chart through the coating (the test's screen has room); the
    // profile chart kept the height it has on the lumped run's page but for the line of the
    // diffusion run's skin warning.
    QCOMPARE(w.main.form->size(), QSize(LayoutWidth, LayoutHeight + DepthChartHeight + 2));
    const int warningLine = page->WarningsLabel->fontMetrics().lineSpacing();
    QVERIFY2(page->ChartPanel()->height() >= lumpedChartHeight - warningLine,
             qPrintable(QStringLiteral("%1 < %2").arg(page->ChartPanel()->height()).arg(lumpedChartHeight)));
    QVERIFY(depth->isVisible());
    QCOMPARE(page->Results().model, std::string(DiffusionModelName));

    const ChartLegend* legend = page->ChartPanel()->Legend();
    QCOMPARE(legend->Entries().size(), std::size_t{13});  // and the point through the coating
    CheckLegendWhole(legend, page->ChartPanel());
    QCOMPARE(depth->Legend()->Entries().size(), std::size_t{2});
    CheckLegendWhole(depth->Legend(), depth);
    for (const QChartView* view : {page->ChartView, depth->View()}) {
      QStringList drawn;
      const QString wrong = ChartTextsWrong(view, drawn);
      QVERIFY2(wrong.isEmpty(), qPrintable(view->objectName() + QStringLiteral(": ") + wrong));
      if (view == depth->View()) QVERIFY(drawn.contains(QStringLiteral("Through the coating")));
    }
    // The place below the chart through the coating: its lines within the panel.
    const QLabel* place = depth->PlaceLabel();
    QVERIFY(depth->rect().contains(place->geometry()));
    QVERIFY(place->heightForWidth(place->width()) <= place->height());

    // One below the other, each within the page, and each plot of a usable size.
    QVERIFY(page->ChartPanel()->geometry().bottom() < depth->geometry().top());
    QVERIFY(page->rect().contains(depth->mapTo(page, depth->rect().bottomRight())));
    const QRectF linePlot = page->Chart.chart->plotArea();
    const QRectF depthPlot = depth->Chart()->plotArea();
    const QString sizes = QStringLiteral("profile plot %1 x %2, through the coating %3 x %4")
                              .arg(linePlot.width()).arg(linePlot.height()).arg(depthPlot.width()).arg(depthPlot.height());
    QVERIFY2(linePlot.height() >= MinPlotHeight && linePlot.width() >= MinPlotWidth, qPrintable(sizes));
    QVERIFY2(depthPlot.height() >= MinPlotHeight && depthPlot.width() >= MinDepthPlotWidth, qPrintable(sizes));
    qInfo("%s", qPrintable(sizes));
  }
};

QTEST_MAIN(ChartReadabilityTest)
#include "chart_readability_test.moc"
