// The keyboard: Tab visits every control of a page in reading order, every button has an Alt
// shortcut of its own on its page, and Enter presses the button that has the focus.
#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QToolButton>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>

#include "conditionfile/line_file.h"
#include "ui/widgets/compare_page.h"
#include "ui/widgets/fit_page.h"
#include "ui/widgets/line_page.h"
#include "ui/widgets/main_window.h"
#include "ui/widgets/optimise_page.h"
#include "ui/widgets/pin_board.h"
#include "ui/widgets/session_keeper.h"
#include "ui_test_support.h"

using namespace tovimar;
using namespace tovimar::ui;
using namespace tovimar::ui::test;

namespace {

using Window = RecordedWindow;

QString NameOf(const QWidget* widget) {
  return widget == nullptr ? QStringLiteral("(none)")
                           : widget->objectName().isEmpty() ? QString::fromLatin1(widget->metaObject()->className())
                                                            : widget->objectName();
}

QStringList NamesOf(const std::vector<QWidget*>& widgets) {
  QStringList names;
  for (const QWidget* widget : widgets) names << NameOf(widget);
  return names;
}

// The controls of a page that take a mnemonic: its buttons and the labels of other controls,
// with the window's session button beside the tabs.
std::vector<QWidget*> MnemonicControls(const Window& w, QWidget* page) {
  std::vector<QWidget*> controls{static_cast<QWidget*>(w.main.session->Button)};
  for (QAbstractButton* button : page->findChildren<QAbstractButton*>()) {
    // The corner of a table's headers is a button of the table, not of the page.
    if (qobject_cast<QAbstractItemView*>(button->parentWidget()) == nullptr && button->isVisibleTo(page)) {
      controls.push_back(button);
    }
  }
  for (QLabel* label : page->findChildren<QLabel*>()) {
    if (label->buddy() != nullptr) controls.push_back(label);
  }
  return controls;
}

QKeySequence MnemonicOf(QWidget* control) {
  if (auto* button = qobject_cast<QAbstractButton*>(control)) return button->shortcut();
  return QKeySequence::mnemonic(qobject_cast<QLabel*>(control)->text());
}

}  // namespace

class KeyboardTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { ConfigureTestApplication(); }

  // The pages after the four condition pages, each with every control in use (a run shown,
  // a variable and a limit, a parameter, a pinned run), so that none is skipped as disabled.
  void tabOrderOfTheAddedPages_data() {
    QTest::addColumn<QString>("page");
    for (const char* page : {"ProfilePage", "LinePage", "OptimisePage", "FitPage", "ComparePage"}) {
      QTest::newRow(page) << QString::fromLatin1(page);
    }
  }
  void tabOrderOfTheAddedPages() {
    QFETCH(QString, page);
    Window w;
    w.main.profile->ShowTrialRun(MapEntryTexts(), LineSettings{});
    QVERIFY(w.main.profile->PinRun(QStringLiteral("Run 1")));
    QWidget* pageWidget = w.Find<QWidget>(page.toLatin1().constData());
    const auto named = [pageWidget](const std::string& name) {
      return pageWidget->findChild<QWidget*>(QString::fromStdString(name));
    };
    std::vector<QWidget*> order;
    if (page == QLatin1String("ProfilePage")) {
      order = {named("MarginCheck"), named("ResidualCheck"), named("SummaryTable"),
               named("SaveChartButton"), named("ExportCsvButton"), named("SaveConditionsButton"),
               named("SaveReportButton"), named("PinButton"), named("HelpButton")};
    } else if (page == QLatin1String("LinePage")) {
      for (const LineSetting& setting : LineSettingCatalogue()) {
        if (setting.zone == 0 && setting.object.empty()) order.push_back(named("Line_" + setting.name));
      }
      // The model's tables are greyed out while the lumped model is chosen.
      order.insert(order.end(),
                   {named("LineZoneTable"), named("Model_Model"), named("LoadLineButton"), named("SaveLineButton")});
    } else if (page == QLatin1String("OptimisePage")) {
      auto* optimise = w.Find<OptimisePage>("OptimisePage");
      QVERIFY(optimise->AddVariable(QStringLiteral("LineSpeed"), 0.1, 3));
      QVERIFY(optimise->AddLimit(QStringLiteral("MaxWebTemp"), LimitSense::AtMost, 80));
      auto* variables = w.Find<QTableWidget>("OptimiseVariables");
      auto* limits = w.Find<QTableWidget>("OptimiseLimits");
      const int limitRow = limits->rowCount() - 1;
      order = {named("ObjectiveSense"), named("ObjectiveName"), variables, variables->cellWidget(0, 0),
               limits, limits->cellWidget(limitRow, 0), limits->cellWidget(limitRow, 1),
               named("AddVariableButton"), named("AddLimitButton"), named("RemoveButton"),
               named("StartButton"), named("OptimiseReport")};
    } else if (page == QLatin1String("FitPage")) {
      auto* fit = w.Find<FitPage>("FitPage");
      fit->AddParameter(QStringLiteral("Keff"));
      order = {fit->LoadButton, fit->SdTable, fit->ParameterTable, fit->ParameterTable->cellWidget(0, 0),
               fit->AddButton, fit->RemoveButton, fit->StartButton, fit->ResultTable, fit->ResultText};
    } else {
      auto* compare = w.Find<ComparePage>("ComparePage");
      compare->Table->selectColumn(0);
      order = {compare->OnlyDifferencesCheck, compare->Table, compare->UnpinButton, compare->ClearButton,
               compare->ExportCsvButton};
    }
    for (QWidget* widget : order) QVERIFY2(widget != nullptr && widget->isEnabled(), qPrintable(NameOf(widget)));
    w.Form().TabbedNotebook1->setCurrentWidget(pageWidget);
    w.Form().show();
    QVERIFY(QTest::qWaitForWindowActive(&w.Form()));
    order.front()->setFocus();
    std::vector<QWidget*> visited{QApplication::focusWidget()};
    for (std::size_t i = 0; i < order.size(); ++i) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      visited.push_back(QApplication::focusWidget());
    }
    std::vector<QWidget*> expected = order;
    expected.push_back(order.front());
    QCOMPARE(NamesOf(visited), NamesOf(expected));
    QVERIFY(visited == expected);
  }

  // Every button (and every label of a control) of every page has an Alt shortcut, none the
  // same as another's on the page or the session button's beside the tabs.
  void everyButtonHasAShortcutOfItsOwn() {
    Window w;
    QTabWidget* notebook = w.Form().TabbedNotebook1;
    QCOMPARE(notebook->count(), 9);
    for (int index = 0; index < notebook->count(); ++index) {
      QWidget* page = notebook->widget(index);
      QMap<QString, QString> taken;  // shortcut -> control
      for (QWidget* control : MnemonicControls(w, page)) {
        const QKeySequence key = MnemonicOf(control);
        const QString what = notebook->tabText(index) + QStringLiteral(": ") + NameOf(control);
        QVERIFY2(!key.isEmpty() && key[0].keyboardModifiers() == Qt::AltModifier, qPrintable(what));
        const QString text = key.toString();
        QVERIFY2(!taken.contains(text), qPrintable(what + QStringLiteral(" has ") + text +
                                                   QStringLiteral(" as ") + taken.value(text) + QStringLiteral(" has")));
        taken.insert(text, NameOf(control));
      }
      QVERIFY(!taken.isEmpty());
    }
  }

  // An Alt shortcut presses its button; Enter presses the button that has the focus (here
  // Input Data File), not the window's default button; Ctrl+Tab changes the page.
  void altAndEnterPressTheButton() {
    TempCurrentDir dir;
    Window w;
    w.Form().show();
    QVERIFY(QTest::qWaitForWindowActive(&w.Form()));
    w.Form().Entry("Edit1")->setFocus();
    QTest::keyClick(w.Form().Entry("Edit1"), Qt::Key_I, Qt::AltModifier);
    QTRY_COMPARE(w.dialogs->chooseDirectories.size(), std::size_t{1});
    w.Form().InputData->setFocus();
    QTest::keyClick(w.Form().InputData, Qt::Key_Return);
    QCOMPARE(w.dialogs->chooseDirectories.size(), std::size_t{2});
    QVERIFY(w.dialogs->finishForms.empty());
    // Ctrl+Tab changes the page.
    w.Form().Entry("Edit1")->setFocus();
    QTest::keyClick(w.Form().Entry("Edit1"), Qt::Key_Tab, Qt::ControlModifier);
    QCOMPARE(w.Form().TabbedNotebook1->currentIndex(), 1);
  }
};

QTEST_MAIN(KeyboardTest)
#include "keyboard_test.moc"
