// The Drying Profile page's chart "Through the coating": after a diffusion run it shows the
// line end as the run kept it; a click on the profile chart picks the nearest printed point,
// marks it and shows its profile marched again; a lumped run hides the chart.
#include <QChart>
#include <QChartView>
#include <QLabel>
#include <QLineSeries>
#include <QScatterSeries>
#include <QTabWidget>
#include <QTest>

#include "model/depth_at_point.h"
#include "ui/widgets/profile_page.h"
#include "ui_test_support.h"

using namespace tovimar;
using namespace tovimar::ui;
using namespace tovimar::ui::test;

namespace {

// The chart's curves against `profile`, node by node, to the last bit.
void CompareCurves(const DepthChartPanel& panel, const DepthProfile& profile) {
  QCOMPARE(panel.Solvent1()->count(), static_cast<qsizetype>(profile.nodes.size()));
  for (std::size_t i = 0; i < profile.nodes.size(); ++i) {
    const auto at = static_cast<qsizetype>(i);
    QCOMPARE(panel.Solvent1()->at(at), QPointF(profile.nodes[i].height, profile.nodes[i].w[0]));
    QCOMPARE(panel.Solvent2()->at(at), QPointF(profile.nodes[i].height, profile.nodes[i].w[1]));
  }
}

}  // namespace

class ThroughCoatingTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { ConfigureTestApplication(); }

  void clickPicksThePointShownThroughTheCoating() {
    TempCurrentDir dir;
    RecordedForm recorded;
    TForm1& form = *recorded.form;
    ProfilePage* page = ProfilePage::AttachTo(form);
    form.Line().Model.name = "diffusion";
    form.show();
    form.TabbedNotebook1->setCurrentWidget(page);
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.BitBtn1Click();
    QVERIFY(page->IsCurrent());
    DepthChartPanel* depth = page->DepthPanel();
    QVERIFY(depth->isVisible());
    QCOMPARE(depth->Chart()->title(), QStringLiteral("Through the coating"));
    const std::vector<ProfilePoint>& points = page->Profile().points;
    QCOMPARE(page->PickedPoint(), std::optional<std::size_t>(points.size() - 1));
    CompareCurves(*depth, form.Sim().model->ExitProfiles().back());
    QCOMPARE(page->Chart.picked->count(), 1);
    QCOMPARE(page->Chart.picked->at(0), QPointF(points.back().position, points.back().temp));
    QCOMPARE(depth->PlaceLabel()->text(), QStringLiteral("At 60.000 m (zone 2, step 300)"));

    // A click on the plot at 12.3 m picks the point nearest to where it landed.
    QChart* chart = page->Chart.chart;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    const QPointF inChart(chart->mapToPosition(QPointF(12.3, 0), page->Chart.webTemp).x(),
                          chart->plotArea().center().y());
    const QPoint inView = page->ChartView->mapFromScene(chart->mapToScene(inChart));
    QTest::mouseClick(page->ChartView->viewport(), Qt::LeftButton, {}, inView);
    QVERIFY(page->PickedPoint().has_value());
    const ProfilePoint& picked = points[*page->PickedPoint()];
    const double perPixel = 60.0 / chart->plotArea().width();
    QVERIFY2(std::abs(picked.position - 12.3) <= perPixel + 0.1, qPrintable(QString::number(picked.position)));
    QCOMPARE(picked.zone, 1);
    QCOMPARE(page->Chart.picked->at(0), QPointF(picked.position, picked.temp));
    const DepthProfile marched = DepthAtPoint(form.Sim().conditions, form.Line().Model.diffusion, 1, picked.step);
    CompareCurves(*depth, marched);
    QCOMPARE(depth->Solvent1()->at(depth->Solvent1()->count() - 1).y(), picked.surface1);
    QCOMPARE(depth->PlaceLabel()->text(),
             QStringLiteral("At %1 m (zone 1, step %2)").arg(picked.position, 0, 'f', 3).arg(picked.step));

    // Outside the plot a click picks nothing; the zone boundary is zone 1's exit.
    QTest::mouseClick(page->ChartView->viewport(), Qt::LeftButton, {}, QPoint(1, 1));
    QCOMPARE(points[*page->PickedPoint()].step, picked.step);
    QVERIFY(page->PickPosition(30.0));
    QCOMPARE(points[*page->PickedPoint()].zone, 1);
    CompareCurves(*depth, form.Sim().model->ExitProfiles().front());

    // A lumped run has no profile through the coating.
    form.Line().Model.name = "lumped";
    form.BitBtn1Click();
    QVERIFY(page->IsCurrent());
    QVERIFY(!depth->isVisible());
    QVERIFY(!page->PickedPoint().has_value());
    QCOMPARE(page->Chart.picked->count(), 0);
    QVERIFY(!page->PickPosition(12.3));
  }
};

QTEST_MAIN(ThroughCoatingTest)
#include "through_coating_test.moc"
