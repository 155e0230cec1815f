// The "Optimise" page: a search started from the page finds what the core finds, shows the
// best run on the Drying Profile page, and changes the entries only when asked.
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>

#include "input/field_catalogue.h"
#include "ui/OptimisePage.h"
#include "ui/main_window.h"
#include "ui_test_support.h"

using namespace tovimar;
using namespace tovimar::ui;

namespace {

class OptimisePageTest : public QObject {
  Q_OBJECT

 private slots:
  void searchShowsTheBestRunAndUsesItOnlyWhenAsked() {
    MainWindow window = BuildMainWindow();
    auto* page = window.form->findChild<OptimisePage*>(QStringLiteral("OptimisePage"));
    QVERIFY(page != nullptr);
    page->AddVariable(QStringLiteral("LineSpeed"), 0.1, 3);
    page->AddLimit(QStringLiteral("LineEndResidualSolvent"), LimitSense::AtMost, 2);
    QSignalSpy finished(page, &OptimisePage::SearchFinished);
    page->StartClick();
    QVERIFY(page->Running());
    QVERIFY(finished.wait(60000));

    OptimiseProblem problem;
    problem.variables.push_back({"LineSpeed", 0.1, 3});
    problem.objective.name = "LineSpeed";
    problem.limits.push_back({"LineEndResidualSolvent", LimitSense::AtMost, 2});
    const OptimiseResult expected = Optimise(problem, MapEntryTexts{}, {}, OptimiseSettings{});
    QVERIFY(page->Result().has_value());
    QCOMPARE(page->Result()->valueTexts, expected.valueTexts);
    QVERIFY(window.profile->IsCurrent());
    const std::string speedEntry = FindField("LineSpeed")->entryName;
    QCOMPARE(window.form->Text(speedEntry), std::string("1.0"));  // not yet asked
    page->UseClick();
    QCOMPARE(window.form->Text(speedEntry), expected.valueTexts[0]);
  }

  void aProblemThatCannotBeSearchedSaysWhy() {
    MainWindow window = BuildMainWindow();
    auto* page = window.form->findChild<OptimisePage*>(QStringLiteral("OptimisePage"));
    page->StartClick();  // no variable
    QVERIFY(!page->Running());
    QCOMPARE(page->StatusText(), QStringLiteral("give at least one variable (--vary NAME=LOWER:UPPER)"));
  }
};

}  // namespace

QTEST_MAIN(OptimisePageTest)
#include "optimise_page_test.moc"
