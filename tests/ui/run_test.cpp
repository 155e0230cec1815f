// The Run button: the result file, the completion dialog, the input messages and the
// error box, each compared with what the core does with the same entry texts.
#include <clocale>
#include <cstdlib>
#include <stdexcept>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QTabWidget>
#include <QPushButton>
#include <QTest>

#include "input/entry_texts.h"
#include "input/user_messages.h"
#include "support/recorded.h"
#include "run/run_sequence.h"
#include "ui_test_support.h"

using namespace tovimar;
using namespace tovimar::ui;
using namespace tovimar::ui::test;

namespace {

using Overrides = QList<QPair<QString, QString>>;

// What the core alone makes of the window's defaults with `overrides`, run in a directory
// of its own.
struct CoreRun {
  RunOutcome outcome;
  QStringList messages;
  bool fileExists = false;
  QByteArray bytes;
};

QString SaveFileName(const Overrides& overrides) {
  QString name = QStringLiteral("result.txt");
  for (const auto& [entry, text] : overrides) {
    if (entry == QLatin1String("Edit250")) {
      name = text;
    }
  }
  return name;
}

CoreRun RunCore(const Overrides& overrides) {
  TempCurrentDir dir;
  MapEntryTexts entries;
  for (const auto& [entry, text] : overrides) {
    entries.SetText(entry.toStdString(), text.toStdString());
  }
  Simulation sim;
  RecordedMessages messages;
  CoreRun run;
  run.outcome = RunSimulation(sim, entries, messages);
  for (const std::string& m : messages.messages) {
    run.messages << QString::fromStdString(m);
  }
  const QString name = SaveFileName(overrides);
  run.fileExists = !name.isEmpty() && QFileInfo(dir.FilePath(name)).isFile();
  if (run.fileExists) {
    run.bytes = ReadBytes(dir.FilePath(name));
  }
  return run;
}

void Type(TForm1& form, const Overrides& overrides) {
  for (const auto& [entry, text] : overrides) {
    QLineEdit* edit = form.findChild<QLineEdit*>(entry);
    QVERIFY2(edit != nullptr, qPrintable(entry));
    edit->setText(text);
  }
}

Overrides AllZonesFilled() {
  Overrides overrides;
  for (int zone = 3; zone <= 14; ++zone) {
    const char* texts[] = {"70.0", "2.0", "0.0", "0.0", "0.03", "0.04"};
    for (int column = 1; column <= 6; ++column) {
      overrides << qMakePair(QStringLiteral("Edit%1").arg(10 * zone + column), QString::fromLatin1(texts[column - 1]));
    }
  }
  return overrides;
}

// Makes the completion dialog fail, to prove that nothing escapes the button's handler.
class ThrowingDialogs : public RecordingDialogs {
 public:
  void ShowFinishForm(TFinishForm* /*finishForm*/) override { throw std::runtime_error("dialog exploded"); }
};

}  // namespace

class RunTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { ConfigureTestApplication(); }

  // Under LC_ALL=de_DE.UTF-8 (the second registration of this test) the process's decimal
  // separator really is a comma, so the golden-file run proves the run ignores it.
  void commaLocaleIsActive() {
    if (qEnvironmentVariableIsEmpty("TOVIMAR_TEST_COMMA_LOCALE")) {
      QSKIP("only meaningful under a comma-decimal locale");
    }
    const std::lconv* conventions = std::localeconv();
    if (std::string(conventions->decimal_point) != ",") {
      QSKIP("the de_DE.UTF-8 locale is not installed (scripts/install-deps.sh generates it)");
    }
    QCOMPARE(std::string(conventions->decimal_point), std::string(","));
  }

  void buttonRunWritesGoldenFile() {
    bool haveGolden = false;
    const QByteArray golden = ReadBytes(GoldenDefaultResultPath(), &haveGolden);
    QVERIFY2(haveGolden, qPrintable(QStringLiteral("missing golden file ") + GoldenDefaultResultPath()));
    TempCurrentDir dir;
    RecordedForm recorded;
    TForm1& form = *recorded.form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QTest::mouseClick(form.BitBtn1, Qt::LeftButton);
    const QByteArray written = ReadBytes(dir.FilePath(QStringLiteral("result.txt")));
    QVERIFY2(written == golden, qPrintable(FirstDifference(written, golden)));
    QCOMPARE(recorded.dialogs->finishForms.size(), std::size_t{1});
    QCOMPARE(recorded.dialogs->finishForms.front(), form.FinishForm);
    QCOMPARE(recorded.dialogs->finishFormVisibleBefore.front(), false);
    QVERIFY(recorded.dialogs->messages.empty());
    QVERIFY(recorded.dialogs->errors.empty());
    // A run reads the entries and never changes them.
    QCOMPARE(form.Entry("Edit1")->text(), QStringLiteral("0.0695"));
    QCOMPARE(form.Edit250->text(), QStringLiteral("result.txt"));
  }

  // Each case: the texts typed, the input messages expected (each exactly once), whether
  // the completion dialog follows, and whether an error box reports the end of the run.
  void runOutcomes_data() {
    QTest::addColumn<Overrides>("overrides");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<bool>("finished");
    QTest::addColumn<bool>("errorBox");
    const auto one = [](const char* entry, const char* text) {
      return Overrides{qMakePair(QString::fromLatin1(entry), QString::fromUtf8(text))};
    };
    QTest::newRow("defaults") << Overrides{} << QStringList{} << true << false;
    QTest::newRow("one zone") << one("Edit21", "") << QStringList{} << true << false;
    QTest::newRow("fourteen zones") << AllZonesFilled() << QStringList{} << true << false;
    QTest::newRow("general field not a number")
        << one("Edit1", "abc") << QStringList{"Input value is not correct!"} << false << false;
    QTest::newRow("decimal comma")
        << one("Edit6", "1,0") << QStringList{"Input value is not correct!"} << false << false;
    QTest::newRow("empty general field")
        << one("Edit241", "") << QStringList{"Input value is not correct!"} << false << false;
    QTest::newRow("empty save file name")
        << one("Edit250", "") << QStringList{"Input Save File Name!"} << false << false;
    QTest::newRow("zone 2 field not a number")
        << one("Edit23", "x") << QStringList{"Input value of Zone 2 is not correct!"} << false << false;
    Overrides zone3 = one("Edit31", "60");
    zone3 << qMakePair(QStringLiteral("Edit32"), QString());
    QTest::newRow("zone 3 length empty")
        << zone3 << QStringList{"Input value of Zone 3 is not correct!"} << false << false;
    Overrides zone14 = AllZonesFilled();
    zone14 << qMakePair(QStringLiteral("Edit146"), QStringLiteral("?"));
    QTest::newRow("zone 14 field not a number")
        << zone14 << QStringList{"Input value of Zone 14 is not correct!"} << false << false;
    QTest::newRow("result file cannot be created")
        << one("Edit250", "no-such-directory/result.txt") << QStringList{"File can not open!"} << false << false;
    QTest::newRow("zero speed") << one("Edit6", "0") << QStringList{} << false << true;
    QTest::newRow("zero increment of z") << one("Edit20", "0") << QStringList{} << false << true;
    QTest::newRow("zero solvent-1 ratio") << one("Edit4", "0") << QStringList{} << false << true;
    QTest::newRow("zone 2 temperature in letters") << one("Edit21", "abc") << QStringList{} << false << true;
    QTest::newRow("zone longer than 1999 steps") << one("Edit9", "300") << QStringList{} << false << true;
  }
  void runOutcomes() {
    QFETCH(Overrides, overrides);
    QFETCH(QStringList, messages);
    QFETCH(bool, finished);
    QFETCH(bool, errorBox);

    const CoreRun core = RunCore(overrides);
    QCOMPARE(core.outcome.completed(), finished);
    QCOMPARE(core.messages, messages);

    TempCurrentDir dir;
    RecordedForm recorded;
    TForm1& form = *recorded.form;
    Type(form, overrides);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QTest::mouseClick(form.BitBtn1, Qt::LeftButton);

    const RecordingDialogs& shown = *recorded.dialogs;
    QCOMPARE(QStringList(shown.messages.begin(), shown.messages.end()), messages);
    QCOMPARE(shown.finishForms.size(), std::size_t{finished ? 1u : 0u});
    if (finished) {
      QCOMPARE(shown.finishForms.front(), form.FinishForm);
    }
    QCOMPARE(shown.errors.size(), std::size_t{errorBox ? 1u : 0u});
    if (errorBox) {
      QVERIFY(!core.outcome.message.empty());
      QCOMPARE(shown.errors.front(), RunErrorText(core.outcome));
      QVERIFY(shown.errors.front().contains(QString::fromStdString(core.outcome.message)));
    }
    // The window's run leaves exactly the file the core leaves.
    const QString name = SaveFileName(overrides);
    const bool exists = !name.isEmpty() && QFileInfo(dir.FilePath(name)).isFile();
    QCOMPARE(exists, core.fileExists);
    if (exists) {
      const QByteArray written = ReadBytes(dir.FilePath(name));
      QVERIFY2(written == core.bytes, qPrintable(FirstDifference(written, core.bytes)));
    }
  }

  void zeroSpeedLeavesTheConditionSectionOnly() {
    bool haveGolden = false;
    const QByteArray golden = ReadBytes(GoldenDefaultResultPath(), &haveGolden);
    QVERIFY2(haveGolden, qPrintable(GoldenDefaultResultPath()));
    TempCurrentDir dir;
    RecordedForm recorded;
    recorded.form->Entry("Edit6")->setText(QStringLiteral("0"));
    recorded.form->BitBtn1Click();
    const QByteArray written = ReadBytes(dir.FilePath(QStringLiteral("result.txt")));
    QVERIFY(!written.isEmpty());
    // The golden file's tables start after its condition section; the stopped run wrote less
    // and not a single table line.
    QVERIFY(written.size() < golden.size() / 4);
    QVERIFY(written.endsWith("\r\n"));
    QCOMPARE(recorded.dialogs->errors.size(), std::size_t{1});
    QVERIFY(recorded.dialogs->finishForms.empty());
  }

  void twoRunsShowTheSameFinishForm() {
    TempCurrentDir dir;
    RecordedForm recorded;
    TForm1& form = *recorded.form;
    QVERIFY(form.FinishForm != nullptr);
    QVERIFY(!form.FinishForm->isVisible());
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QTest::mouseClick(form.BitBtn1, Qt::LeftButton);
    const QByteArray first = ReadBytes(dir.FilePath(QStringLiteral("result.txt")));
    QTest::mouseClick(form.BitBtn1, Qt::LeftButton);
    const QByteArray second = ReadBytes(dir.FilePath(QStringLiteral("result.txt")));
    QCOMPARE(recorded.dialogs->finishForms,
             (std::vector<TFinishForm*>{form.FinishForm, form.FinishForm}));
    QVERIFY(!first.isEmpty());
    QVERIFY2(first == second, qPrintable(FirstDifference(second, first)));
  }

  void runRewritesAnExistingResultFile() {
    TempCurrentDir dir;
    const QString path = dir.FilePath(QStringLiteral("result.txt"));
    const CoreRun core = RunCore({});
    QVERIFY(WriteBytes(path, QByteArray(200000, 'x')));
    RecordedForm recorded;
    recorded.form->BitBtn1Click();
    const QByteArray written = ReadBytes(path);
    QVERIFY2(written == core.bytes, qPrintable(FirstDifference(written, core.bytes)));
  }

  void typedSaveFileNameIsUsedAsUtf8() {
    TempCurrentDir dir;
    RecordedForm recorded;
    TForm1& form = *recorded.form;
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    form.Edit250->setFocus();
    form.Edit250->selectAll();
    // Japanese text arrives through the input method, the rest by keys.
    QInputMethodEvent composed;
    composed.setCommitString(QStringLiteral("結果"));
    QApplication::sendEvent(form.Edit250, &composed);
    QTest::keyClicks(form.Edit250, QStringLiteral(" 1.txt"));
    QCOMPARE(form.Text("Edit250"), std::string("\xE7\xB5\x90\xE6\x9E\x9C 1.txt"));
    QTest::keyClick(form.Edit250, Qt::Key_Return);
    QVERIFY(QFileInfo(dir.FilePath(QStringLiteral("結果 1.txt"))).isFile());
    QVERIFY(!QFile::exists(dir.FilePath(QStringLiteral("result.txt"))));
    QCOMPARE(recorded.dialogs->finishForms.size(), std::size_t{1});
  }

  void runCompletedHandlerComesBeforeTheFinishForm() {
    TempCurrentDir dir;
    RecordedForm recorded;
    std::vector<std::size_t> finishFormsAtCall;
    QObject::connect(recorded.form.get(), &TForm1::RunCompleted,
                     [&] { finishFormsAtCall.push_back(recorded.dialogs->finishForms.size()); });
    recorded.form->BitBtn1Click();
    QCOMPARE(finishFormsAtCall, std::vector<std::size_t>{0});
    recorded.form->Entry("Edit6")->setText(QStringLiteral("0"));
    recorded.form->BitBtn1Click();
    QCOMPARE(finishFormsAtCall, std::vector<std::size_t>{0});
    QCOMPARE(recorded.dialogs->finishForms.size(), std::size_t{1});
  }

  void failureInsideTheHandlerIsReportedNotThrown() {
    TempCurrentDir dir;
    TForm1 form;
    auto throwing = std::make_unique<ThrowingDialogs>();
    ThrowingDialogs* dialogs = throwing.get();
    form.SetDialogs(std::move(throwing));
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QTest::mouseClick(form.BitBtn1, Qt::LeftButton);
    QCOMPARE(dialogs->errors.size(), std::size_t{1});
    QVERIFY(dialogs->errors.front().contains(QStringLiteral("dialog exploded")));
    QVERIFY(form.isVisible());
  }

  // After an input message the page that holds the offending entry is shown with its text
  // selected; the message box text stays the system's own.
  void inputMessageLeadsToTheField_data() {
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    QTest::newRow("polymer density") << "Edit212" << "1,4" << "Input value is not correct!";
    QTest::newRow("zone 2 length") << "Edit22" << "x" << "Input value of Zone 2 is not correct!";
  }
  void inputMessageLeadsToTheField() {
    QFETCH(QString, entry);
    QFETCH(QString, text);
    QFETCH(QString, message);
    TempCurrentDir dir;
    RecordedForm recorded;
    recorded.form->TabbedNotebook1->setCurrentIndex(recorded.form->TabbedNotebook1->count() - 1);
    QLineEdit* edit = recorded.form->Entry(entry.toStdString());
    edit->setText(text);
    recorded.form->BitBtn1Click();
    QCOMPARE(recorded.dialogs->messages, std::vector<QString>{message});
    QVERIFY(recorded.form->TabbedNotebook1->currentWidget()->isAncestorOf(edit));
    QCOMPARE(edit->selectedText(), text);
  }

  void errorTexts_data() {
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("says");
    QTest::newRow("stopped at input") << int(RunStatus::StoppedAtInput) << "No result file was written.";
    QTest::newRow("file not opened") << int(RunStatus::FileNotOpened) << "could not be opened";
    QTest::newRow("write failed") << int(RunStatus::WriteFailed) << "Writing the result file failed.";
    QTest::newRow("arithmetic fault") << int(RunStatus::ArithmeticFault) << "arithmetic fault";
  }
  void errorTexts() {
    QFETCH(int, status);
    QFETCH(QString, says);
    RunOutcome outcome;
    outcome.status = static_cast<RunStatus>(status);
    outcome.message = "division by zero in the time increment \xE2\x84\x83";
    const QString text = RunErrorText(outcome);
    QVERIFY2(text.contains(QStringLiteral("division by zero in the time increment ℃")), qPrintable(text));
    QVERIFY2(text.contains(says), qPrintable(text));
  }
};

QTEST_MAIN(RunTest)
#include "run_test.moc"
