// The window beyond its layout: the Drying Profile page grows with it, the window opens
// within a small screen, and the chart after a failed run and after a run of fewer zones.
#include <QCategoryAxis>
#include <QChartView>
#include <QLineEdit>
#include <QLineSeries>
#include <QScatterSeries>
#include <QScrollBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QValueAxis>

#include "input/field_catalogue.h"
#include "ui/widgets/main_window.h"
#include "ui/widgets/window_placement.h"
#include "ui_test_support.h"

using namespace tovimar;
using namespace tovimar::ui;
using namespace tovimar::ui::test;

namespace {

// The window with its profile page, runs without a result file and without dialogs.
struct Window : RecordedWindow {
  // Zones 3..zones as copies of zone 2 at `outer` deg C; the zones after them empty.
  void UseZones(int zones, const char* outer) {
    for (int zone = 3; zone <= MaxZones; ++zone) {
      for (int column = 1; column <= ZoneColumns; ++column) {
        const std::string text =
            zone > zones ? "" : column == 1 ? outer : main.form->Text(ZoneField(2, column).entryName);
        main.form->SetText(ZoneField(zone, column).entryName, text);
      }
    }
  }
  void ShowProfile() {
    main.form->show();
    main.form->TabbedNotebook1->setCurrentWidget(main.profile);
    QCoreApplication::processEvents();
  }
};

// Everything the axes show, to compare the chart of one run with another's.
QStringList AxesOf(const ProfileChartParts& chart) {
  const auto value = [](const QValueAxis* axis) {
    return QStringLiteral("%1..%2 ticks %3 every %4")
        .arg(axis->min()).arg(axis->max()).arg(axis->tickCount()).arg(axis->tickInterval());
  };
  return {value(chart.positionAxis), value(chart.tempAxis), value(chart.residualAxis),
          chart.zoneAxis->categoriesLabels().join(QLatin1Char(',')),
          QStringLiteral("%1..%2 from %3 %4")
              .arg(chart.zoneAxis->min()).arg(chart.zoneAxis->max()).arg(chart.zoneAxis->startValue())
              .arg(chart.zoneAxis->isVisible())};
}

}  // namespace

class WindowGrowthTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { ConfigureTestApplication(); }

  void profilePageGrowsWithTheWindow() {
    Window w;
    w.UseZones(MaxZones, "80");
    QVERIFY(w.Run());
    w.ShowProfile();
    const QSize chartBefore = w.main.profile->ChartView->size();
    const int tableBefore = w.main.profile->SummaryTable->height();
    QVERIFY(w.main.profile->SummaryTable->verticalScrollBar()->maximum() > 0);

    w.main.form->resize(1100, 800);
    QCoreApplication::processEvents();
    QCOMPARE(w.main.form->TabbedNotebook1->size(), QSize(1100, 800));
    QVERIFY(w.main.profile->ChartView->width() > chartBefore.width() + 300);
    QVERIFY(w.main.profile->ChartView->height() > chartBefore.height() + 100);
    // 14 zones and the line's row, all on show.
    QTableWidget* table = w.main.profile->SummaryTable;
    QCOMPARE(table->rowCount(), 15);
    QVERIFY(table->height() > tableBefore);
    QCOMPARE(table->verticalScrollBar()->maximum(), 0);
  }

  // The condition pages keep their places; the window never gets smaller than its layout
  // on a screen that holds it.
  void conditionPagesStayAtTheTopLeft() {
    Window w;
    w.main.form->show();
    QLineEdit* entry = w.main.form->Entry("Edit1");
    const QPoint before = entry->mapTo(w.main.form.get(), QPoint(0, 0));
    w.main.form->resize(1000, 700);
    QCoreApplication::processEvents();
    QCOMPARE(entry->mapTo(w.main.form.get(), QPoint(0, 0)), before);
    w.main.form->resize(500, 300);
    QCOMPARE(w.main.form->size(), QSize(727, 545));
  }

  // Every page's tab fits the window at its layout's size: no tab hides behind scroll arrows.
  void everyTabFitsTheLayoutWidth() {
    Window w;
    w.main.form->show();
    QCoreApplication::processEvents();
    const QTabBar* bar = w.main.form->TabbedNotebook1->tabBar();
    QCOMPARE(bar->count(), 9);
    QVERIFY2(bar->tabRect(bar->count() - 1).right() < bar->width(),
             qPrintable(QStringLiteral("%1 > %2").arg(bar->tabRect(bar->count() - 1).right()).arg(bar->width())));
  }

  void failedRunLeavesAnEmptyChart() {
    Window w;
    w.ShowProfile();
    QVERIFY(w.Run());
    QVERIFY(w.main.profile->Chart.zoneAxis->isVisible());
    w.main.form->SetText("Edit6", "abc");
    QVERIFY(!w.Run());
    const ProfileChartParts& chart = w.main.profile->Chart;
    for (const QXYSeries* series : std::initializer_list<const QXYSeries*>{
             chart.webTemp, chart.residual1, chart.residual2, chart.airTemp, chart.dryPoint}) {
      QCOMPARE(series->count(), 0);
    }
    QVERIFY(chart.zoneAxis->categoriesLabels().isEmpty());
    QVERIFY(!chart.zoneAxis->isVisible());
    QCOMPARE(w.main.profile->SummaryTable->rowCount(), 0);
  }

  void axesDoNotRememberTheRunBefore() {
    Window fresh;
    fresh.ShowProfile();
    QVERIFY(fresh.Run());
    const QStringList expected = AxesOf(fresh.main.profile->Chart);

    Window w;
    w.ShowProfile();
    w.UseZones(MaxZones, "200");  // a range whose nice numbers take fewer ticks
    QVERIFY(w.Run());
    QVERIFY(AxesOf(w.main.profile->Chart) != expected);
    w.UseZones(2, "");
    QVERIFY(w.Run());
    QCOMPARE(AxesOf(w.main.profile->Chart), expected);
  }

  void placement_data() {
    QTest::addColumn<QSize>("client");
    QTest::addColumn<QMargins>("frame");
    QTest::addColumn<QRect>("available");
    QTest::addColumn<QRect>("placed");
    QTest::addColumn<QSize>("minimum");
    const QSize layout(727, 545);
    const QMargins frame(4, 30, 4, 4);
    QTest::newRow("centred on a large screen")
        << layout << QMargins() << QRect(0, 0, 1920, 1080) << QRect(596, 267, 727, 545) << layout;
    QTest::newRow("centred with a frame")
        << layout << frame << QRect(0, 0, 1280, 1024) << QRect(276, 252, 727, 545) << layout;
    QTest::newRow("grown window that fits")
        << QSize(1100, 800) << frame << QRect(0, 0, 1280, 1024) << QRect(90, 125, 1100, 800) << layout;
    QTest::newRow("scaled twice on 1280 x 1024")
        << layout << frame << QRect(0, 0, 640, 512) << QRect(4, 30, 632, 478) << QSize(632, 478);
    QTest::newRow("too narrow, below a top panel")
        << layout << frame << QRect(100, 40, 600, 900) << QRect(104, 70, 592, 545) << QSize(592, 545);
    QTest::newRow("exactly the layout with its frame")
        << layout << frame << QRect(0, 0, 735, 579) << QRect(4, 30, 727, 545) << layout;
  }

  void placement() {
    QFETCH(QSize, client);
    QFETCH(QMargins, frame);
    QFETCH(QRect, available);
    QFETCH(QRect, placed);
    QFETCH(QSize, minimum);
    const WindowPlace place = PlaceWindow(client, QSize(727, 545), frame, available);
    QCOMPARE(place.client, placed);
    QCOMPARE(place.minimumClient, minimum);
    QVERIFY(available.contains(place.client.marginsAdded(frame)));
  }
};

QTEST_MAIN(WindowGrowthTest)
#include "window_growth_test.moc"
