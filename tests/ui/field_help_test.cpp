// What the window tells about its fields and its model: every entry's tooltip from the field
// catalogue, and the help window with docs/help.md.
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTextBrowser>

#include "input/field_catalogue.h"
#include "ui/widgets/help_window.h"
#include "ui/widgets/look.h"
#include "ui/widgets/main_window.h"
#include "ui_test_support.h"

using namespace tovimar;
using namespace tovimar::ui;
using namespace tovimar::ui::test;

class FieldHelpTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { ConfigureTestApplication(); }

  // Every field: name, unit and default in its tooltip, on the entry and on its caption (the
  // vapour-pressure strips' caption is the equation and has none).
  void everyEntryExplainsItself() {
    TForm1 form;
    for (const ConditionField& field : ConditionFields()) {
      const std::string tip = FieldTooltip(field);
      const char* where = field.entryName.c_str();
      QVERIFY2(!field.name.empty() && !field.meaning.empty() && !field.unit.empty() &&
                   !field.range.empty(), where);
      QVERIFY2(tip.find(field.name + " (" + field.unit + "): ") == 0, where);
      const std::string defaultPart =
          field.defaultText.empty() ? "; empty by default; " : "; default " + field.defaultText + "; ";
      QVERIFY2(tip.find(defaultPart) != std::string::npos, where);
      if (field.zone > 0) {
        QVERIFY2(tip.find("of zone " + std::to_string(field.zone)) != std::string::npos, where);
      }
      QCOMPARE(form.Entry(field.entryName)->toolTip(), ToolTipText(tip));
      if (auto* caption = form.findChild<QLabel*>(FromUtf8(field.entryName) + QStringLiteral("Caption"));
          caption != nullptr && caption->parentWidget() == form.Entry(field.entryName)->parentWidget() &&
          !caption->parentWidget()->objectName().endsWith(QLatin1String("Strip"))) {
        QCOMPARE(caption->toolTip(), ToolTipText(tip));
      }
    }
    QCOMPARE(form.Entry(SaveFileNameEntry)->toolTip(), ToolTipText(SaveFileNameTooltip()));
  }

  void tooltipTexts_data() {
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("tooltip");
    QTest::newRow("We") << "Edit202"
                        << "Drying Speed Correction Factor We (weight fraction): the total solvent "
                           "weight fraction below which the coating no longer dries (the correction "
                           "is 0); default 0.1; 0 to Wx";
    QTest::newRow("zone 5 humidity")
        << "Edit53"
        << "Solvent-1 absolute humidity of zone 5 (kg solvent-1 per kg air): the solvent-1 vapour "
           "the air of zone 5 already holds; empty by default; 0 (fresh air) to below the "
           "coating's surface value, above which solvent-1 condenses";
    QTest::newRow("speed") << "Edit6"
                           << "Speed (m/s): the speed at which the film moves through the dryer; "
                              "default 1.0; 0.01 to 20";
  }

  void tooltipTexts() {
    QFETCH(QString, entry);
    QFETCH(QString, tooltip);
    const ConditionField* field = FindField(entry.toStdString());
    QVERIFY(field != nullptr);
    QCOMPARE(FromUtf8(FieldTooltip(*field)), tooltip);
  }

  // The window shows the very file the repository holds.
  void helpIsTheDocsFile() {
    bool read = false;
    const QByteArray file =
        ReadBytes(QDir(QStringLiteral(TOVIMAR_TEST_DATA_DIR)).filePath(QStringLiteral("../../docs/help.md")), &read);
    QVERIFY(read);
    QCOMPARE(HelpMarkdown(), QString::fromUtf8(file));
    for (const char* heading : {"## Heat and mass balance of the web", "## Judging a run", "## Optimiser",
                                "## Fitting to measurements"}) {
      QVERIFY2(HelpMarkdown().contains(QLatin1String(heading)), heading);
    }
  }

  void f1AndTheHelpButtonOpenTheHelp() {
    const MainWindow window = BuildMainWindow();
    TForm1& form = *window.form;
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QVERIFY(form.Help() == nullptr);
    QTest::keyClick(form.Entry("Edit6"), Qt::Key_F1);
    QVERIFY(form.Help() != nullptr);
    QVERIFY(form.Help()->isVisible());
    QVERIFY(form.Help()->Browser->toPlainText().contains(QStringLiteral("Gill's fourth-order Runge-Kutta")));
    form.Help()->close();
    QVERIFY(!form.Help()->isVisible());
    window.profile->HelpButton->click();
    QVERIFY(form.Help()->isVisible());
  }
};

QTEST_MAIN(FieldHelpTest)
#include "field_help_test.moc"
