// The "Optimise" page: a search started from the page finds what the core finds, shows the
// best run on the Drying Profile page, and changes the entries only when asked; what it is
// set to goes into the line file and comes back from it.
#include <QComboBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>

#include "conditionfile/line_file.h"
#include "format/csv.h"
#include "input/field_catalogue.h"
#include "ui/widgets/optimise_page.h"
#include "ui/widgets/main_window.h"
#include "ui/widgets/optimise_cells.h"
#include "ui_test_support.h"

using namespace tovimar;
using namespace tovimar::ui;
using namespace tovimar::ui::test;

namespace {

// A window with the Line and Optimise pages whose line-file dialogs answer `files->nextPath`.
struct OptimiseForm {
  OptimiseForm() {
    line = LinePage::AttachTo(*recorded.form);
    auto answering = std::make_unique<AnsweringFileDialogs>();
    files = answering.get();
    line->SetFileDialogs(std::move(answering));
    page = OptimisePage::AttachTo(*recorded.form, nullptr);
  }
  [[nodiscard]] QTableWidget* Table(const char* name) const {
    return page->findChild<QTableWidget*>(QString::fromLatin1(name));
  }
  RecordedForm recorded;
  LinePage* line = nullptr;
  OptimisePage* page = nullptr;
  AnsweringFileDialogs* files = nullptr;
};

// The problem as the batch tool's texts, to compare two pages.
QStringList Texts(const OptimiseProblem& problem) {
  QStringList texts{QString::fromStdString(
      (problem.objective.sense == OptimiseSense::Maximise ? "max:" : "min:") + problem.objective.name)};
  for (const OptimiseVariable& v : problem.variables) {
    texts << QString::fromStdString(v.name + "=" + ShortestNumberText(v.lower) + ":" + ShortestNumberText(v.upper));
  }
  for (const OptimiseLimit& l : problem.limits) {
    texts << QString::fromStdString(l.name + (l.sense == LimitSense::AtMost ? "<=" : ">=") +
                                    ShortestNumberText(l.bound));
  }
  return texts;
}

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

  // A variable that is a line setting: the best run shown is judged with the best value.
  void theBestRunIsJudgedWithTheBestLineSettings() {
    MainWindow window = BuildMainWindow();
    auto* page = window.form->findChild<OptimisePage*>(QStringLiteral("OptimisePage"));
    QVERIFY(page->AddVariable(QStringLiteral("ZoneExhaustFlow[1]"), 1000, 20000));
    QVERIFY(page->SetObjective(QStringLiteral("ZoneExhaustFlow[1]"), OptimiseSense::Minimise));
    page->AddLimit(QStringLiteral("MaxZoneLEL"), LimitSense::AtMost, 25);
    QSignalSpy finished(page, &OptimisePage::SearchFinished);
    page->StartClick();
    QVERIFY(finished.wait(60000));
    QVERIFY(page->Result().has_value() && page->Result()->feasible);
    QVERIFY(!window.form->Line().ZoneExhaustFlow[1].has_value());  // the entries' line stays as it was
    QCOMPARE(window.profile->Judgement().exhaust.at(0).flow.value(), page->Result()->values[0]);
  }

  // The line settings' limits are fixed rows: shown, kept out of the set-up and the
  // problem, never removed, following the line settings and the variables; the search
  // keeps them although no row of the user's names the exhaust.
  void theLineSettingsLimitsAreFixedRowsEverySearchKeeps() {
    MainWindow window = BuildMainWindow();
    auto* page = window.form->findChild<OptimisePage*>(QStringLiteral("OptimisePage"));
    auto* limits = page->findChild<QTableWidget*>(QStringLiteral("OptimiseLimits"));
    const auto rows = [limits] {
      QStringList texts;
      for (int row = 0; row < limits->rowCount(); ++row) {
        const QTableWidgetItem* name = limits->item(row, 0);
        texts << (name == nullptr ? QStringLiteral("(user) ") + ComboName(limits, row, 0)
                                  : name->text() + ' ' + limits->item(row, 1)->text() + ' ' +
                                        limits->item(row, 2)->text());
      }
      return texts;
    };
    window.form->Line().ZoneExhaustFlow[1] = 2000;
    window.form->Line().ZoneLELLimit[1] = 30;
    window.form->Line().ZoneExhaustFlow[2] = 2000;
    page->AddVariable(QStringLiteral("LineSpeed"), 0.1, 3);
    page->AddLimit(QStringLiteral("LineEndResidualSolvent"), LimitSense::AtMost, 2);
    QCOMPARE(rows(), (QStringList{
                         "ZoneExhaustLEL[1] - zone 1 exhaust LEL (%) (line settings) <= 30",
                         "ZoneExhaustLEL[2] - zone 2 exhaust LEL (%) (line settings) <= 25",
                         "LeastBoilingMargin - least boiling margin (K) (line settings) >= 0",
                         "(user) LineEndResidualSolvent"}));
    QCOMPARE(window.form->Line().Optimise.limits, std::vector<std::string>{"LineEndResidualSolvent<=2"});
    QCOMPARE(page->Problem().limits.size(), std::size_t{1});
    limits->selectAll();
    page->RemoveSelectedRows();
    QCOMPARE(rows().size(), 3);
    QVERIFY(window.form->Line().Optimise.limits.empty());
    page->AddLimit(QStringLiteral("LineEndResidualSolvent"), LimitSense::AtMost, 2);

    QSignalSpy finished(page, &OptimisePage::SearchFinished);
    page->StartClick();
    QVERIFY(finished.wait(60000));
    QVERIFY(page->Result().has_value() && page->Result()->feasible);
    const OptimiseLimitResult& zone1 = page->Result()->limits.at(0);
    QCOMPARE(QString::fromStdString(LimitName(zone1.limit)), QStringLiteral("ZoneExhaustLEL[1]"));
    QVERIFY(zone1.active && *zone1.value <= 30);
    QVERIFY(page->StatusText().startsWith(QStringLiteral("Best point within every limit")));
    QVERIFY(window.profile->Judgement().warnings.empty());

    // The Line page's changes show when the page is shown again.
    window.form->show();
    window.form->TabbedNotebook1->setCurrentWidget(window.profile);
    window.form->Line().BoilingMarginMin = 5;
    window.form->TabbedNotebook1->setCurrentWidget(page);
    QCOMPARE(rows()[2], QStringLiteral("LeastBoilingMargin - least boiling margin (K) (line settings) >= 5"));
  }

  // The page says in its own terms why a search cannot start, and the message goes as soon
  // as that is mended.
  void aProblemThatCannotBeSearchedSaysWhyUntilMended() {
    MainWindow window = BuildMainWindow();
    auto* page = window.form->findChild<OptimisePage*>(QStringLiteral("OptimisePage"));
    auto* variables = page->findChild<QTableWidget*>(QStringLiteral("OptimiseVariables"));
    page->StartClick();  // no variable
    QVERIFY(!page->Running());
    QCOMPARE(page->StatusText(),
             QStringLiteral("Add a variable to search over (Add variable), then pick its quantity and bounds."));
    page->findChild<QPushButton*>(QStringLiteral("AddVariableButton"))->click();
    QCOMPARE(page->StatusText(), QString());
    variables->item(0, 2)->setText(QStringLiteral("0.1"));  // below the lower bound
    page->StartClick();
    QCOMPARE(page->StatusText(), QStringLiteral("The bounds of LineSpeed must be numbers, Lower below Upper."));
    variables->item(0, 2)->setText(QStringLiteral("2"));
    QCOMPARE(page->StatusText(), QString());
  }

  // Add variable picks the first input not varied yet; a row switched to another quantity
  // takes that quantity's bounds (half to twice its present value within its range of use).
  void variablesTakeTheirQuantitysBounds() {
    MainWindow window = BuildMainWindow();
    auto* page = window.form->findChild<OptimisePage*>(QStringLiteral("OptimisePage"));
    auto* variables = page->findChild<QTableWidget*>(QStringLiteral("OptimiseVariables"));
    auto* add = page->findChild<QPushButton*>(QStringLiteral("AddVariableButton"));
    add->click();
    add->click();
    const std::vector<std::string> added = window.form->Line().Optimise.variables;
    QCOMPARE(added.size(), std::size_t{2});
    QVERIFY(added[0] != added[1]);
    auto* combo = qobject_cast<QComboBox*>(variables->cellWidget(0, 0));
    combo->setCurrentIndex(combo->findData(QStringLiteral("ZoneAirTemp[2]")));
    QCOMPARE(window.form->Line().Optimise.variables[0], std::string("ZoneAirTemp[2]=30:120"));
    combo->setCurrentIndex(combo->findData(QStringLiteral("LineSpeed")));
    QCOMPARE(window.form->Line().Optimise.variables[0], std::string("LineSpeed=0.5:2"));
  }

  void setupGoesThroughTheLineFile() {
    TempCurrentDir dir;
    OptimiseForm saved;
    QVERIFY(saved.page->SetObjective(QStringLiteral("MaxWebTemp"), OptimiseSense::Minimise));
    QVERIFY(saved.page->AddVariable(QStringLiteral("Edit6"), 0.1, 3));  // LineSpeed's entry
    QVERIFY(saved.page->AddVariable(QStringLiteral("ZoneExhaustFlow[1]"), 1000, 20000));
    QVERIFY(saved.page->AddLimit(QStringLiteral("LineEndResidualSolvent"), LimitSense::AtMost, 2));
    QVERIFY(saved.page->AddLimit(QStringLiteral("MaxWebTemp"), LimitSense::AtMost, 120));
    QVERIFY(!saved.page->AddVariable(QStringLiteral("Speed"), 1, 2));
    // Edits as the user makes them: a typed bound, a limit's sense and quantity (below the
    // fixed rows of the line settings' limits).
    const auto second = static_cast<int>(saved.page->LineLimitRows().size()) + 1;
    saved.Table("OptimiseVariables")->item(0, 1)->setText(QStringLiteral(" 0.250 "));
    qobject_cast<QComboBox*>(saved.Table("OptimiseLimits")->cellWidget(second, 1))->setCurrentIndex(1);
    auto* quantity = qobject_cast<QComboBox*>(saved.Table("OptimiseLimits")->cellWidget(second, 0));
    quantity->setCurrentIndex(quantity->findData(QStringLiteral("LeastBoilingMargin")));
    saved.Table("OptimiseLimits")->item(second, 2)->setText(QStringLiteral("5"));
    const OptimiseSetup& setup = saved.recorded.form->Line().Optimise;
    QCOMPARE(setup.objective, std::string("min:MaxWebTemp"));
    QCOMPARE(setup.variables, (std::vector<std::string>{"LineSpeed=0.25:3", "ZoneExhaustFlow[1]=1000:20000"}));
    QCOMPARE(setup.limits, (std::vector<std::string>{"LineEndResidualSolvent<=2", "LeastBoilingMargin>=5"}));
    saved.files->nextPath = dir.FilePath(QStringLiteral("line.json"));
    saved.line->SaveButton->click();

    OptimiseForm loaded;
    loaded.files->nextPath = saved.files->nextPath;
    loaded.line->LoadButton->click();
    QCOMPARE(Texts(loaded.page->Problem()), Texts(saved.page->Problem()));
    QCOMPARE(Texts(loaded.page->Problem()).join(' '),
             QStringLiteral("min:MaxWebTemp LineSpeed=0.25:3 ZoneExhaustFlow[1]=1000:20000 "
                            "LineEndResidualSolvent<=2 LeastBoilingMargin>=5"));
    QVERIFY(loaded.recorded.dialogs->errors.empty());

    // Removing a row is a change too.
    loaded.Table("OptimiseVariables")->selectRow(0);
    loaded.page->RemoveSelectedRows();
    QCOMPARE(loaded.recorded.form->Line().Optimise.variables,
             std::vector<std::string>{"ZoneExhaustFlow[1]=1000:20000"});
  }

  void unreadableTextsAreNamedAndTheRestShown() {
    TempCurrentDir dir;
    OptimiseForm f;
    // A page that was never touched leaves the line file as it was.
    QCOMPARE(FormatLineSettings(f.recorded.form->Line()), FormatLineSettings(LineSettings{}));
    const QString path = dir.FilePath(QStringLiteral("line.json"));
    QVERIFY(WriteBytes(path, R"({"Optimise": {"Objective": "max:Speed",
        "Variables": ["Speed=1:2", "LineSpeed=0.1:3", "LineSpeed=a:3"],
        "Limits": ["MaxWebTemp<120", "MaxWebTemp<=120"]}})"));
    f.files->nextPath = path;
    f.line->LoadButton->click();
    QCOMPARE(Texts(f.page->Problem()).join(' '), QStringLiteral("max:LineSpeed LineSpeed=0.1:3 MaxWebTemp<=120"));
    QCOMPARE(f.recorded.dialogs->errors.size(), std::size_t{1});
    QCOMPARE(f.recorded.dialogs->errors[0],
             QStringLiteral("The Optimise page leaves out what it cannot read of the line file's optimiser "
                            "set-up:\n\n"
                            "\"max:Speed\": no line quantity or input named \"Speed\"\n"
                            "\"Speed=1:2\": no condition field or line setting named \"Speed\"\n"
                            "\"LineSpeed=a:3\": the bounds of \"LineSpeed=a:3\" are not two numbers\n"
                            "\"MaxWebTemp<120\": a limit is NAME<=BOUND or NAME>=BOUND, not \"MaxWebTemp<120\""));
    // Until the page is changed, the set-up is kept as loaded.
    QCOMPARE(f.recorded.form->Line().Optimise.variables.size(), std::size_t{3});
  }
};

}  // namespace

QTEST_MAIN(OptimisePageTest)
#include "optimise_page_test.moc"
