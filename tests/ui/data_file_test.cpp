// The Input Data File button: the open dialog's start, the messages, and what a load
// writes into the window.
#include <QDir>
#include <QLineEdit>
#include <QTabWidget>
#include <QTest>

#include "conditionfile/data_file.h"
#include "input/entry_texts.h"
#include "input/field_catalogue.h"
#include "ui/widgets/directory_list_box.h"
#include "ui_test_support.h"

using namespace tovimar;
using namespace tovimar::ui;
using namespace tovimar::ui::test;

namespace {

// The entry each line of a data file goes to, written out independently of the catalogue:
// properties, fitting parameters, Increment of z, the web and zone 1, then zones 2 to 14.
QStringList DataFileEntryOrder() {
  QStringList order{"Edit211", "Edit212", "Edit213", "Edit221", "Edit222", "Edit223", "Edit224",
                    "Edit225", "Edit226", "Edit227", "Edit228", "Edit231", "Edit232", "Edit233",
                    "Edit234", "Edit235", "Edit236", "Edit237", "Edit238", "Edit241", "Edit201",
                    "Edit202", "Edit203", "Edit204", "Edit205", "Edit206", "Edit207", "Edit208",
                    "Edit20",  "Edit1",   "Edit2",   "Edit3",   "Edit4",   "Edit5",   "Edit6",
                    "Edit7",   "Edit8",   "Edit9",   "Edit10",  "Edit11",  "Edit12",  "Edit13"};
  for (int zone = 2; zone <= 14; ++zone) {
    for (int column = 1; column <= 6; ++column) {
      order << QStringLiteral("Edit%1").arg(10 * zone + column);
    }
  }
  return order;
}

const QStringList kDisabled{"Edit222", "Edit224", "Edit225", "Edit226",
                            "Edit232", "Edit234", "Edit235", "Edit236"};

// All texts of the window's entries, by name.
QMap<QString, QString> Snapshot(const TForm1& form) {
  QMap<QString, QString> texts;
  for (QLineEdit* entry : form.findChildren<QLineEdit*>()) {
    texts.insert(entry->objectName(), entry->text());
  }
  return texts;
}

}  // namespace

class DataFileTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { ConfigureTestApplication(); }

  // 120 lines "label = value comment": every enabled entry gets its line's value, the
  // disabled ones, the Save File Name and the page shown stay as they were.
  void loadFillsTheEnabledEntries() {
    TempCurrentDir dir;
    const QStringList order = DataFileEntryOrder();
    QCOMPARE(order.size(), 120);
    QByteArray bytes;
    for (int line = 1; line <= 120; ++line) {
      bytes += "label of line " + QByteArray::number(line) + " =  " + QByteArray::number(line) +
               ".5 comment = ignored\r\n";
    }
    const QString path = dir.FilePath(QStringLiteral("conditions.txt"));
    QVERIFY(WriteBytes(path, bytes));

    RecordedForm recorded;
    TForm1& form = *recorded.form;
    form.Edit250->setText(QStringLiteral("mine.txt"));
    const QMap<QString, QString> before = Snapshot(form);
    recorded.dialogs->nextChoice = QStringList{path};
    form.InputDataClick();

    // One message names each disabled entry the file held another value for.
    QCOMPARE(recorded.dialogs->messages.size(), std::size_t{1});
    QCOMPARE(recorded.dialogs->messages[0].count(QStringLiteral("Warning: the data file's ")), kDisabled.size());
    QVERIFY(recorded.dialogs->messages[0].startsWith(
        QStringLiteral("Warning: the data file's Heat of Vaporization of Solvent-1 (5.5) differs from the one in use "
                       "(460.0); choose the solvent to use other constants.\n\n")));
    QVERIFY(recorded.dialogs->errors.empty());
    for (int line = 1; line <= 120; ++line) {
      const QString name = order[line - 1];
      const QString text = form.findChild<QLineEdit*>(name)->text();
      if (kDisabled.contains(name)) {
        QCOMPARE(text, before.value(name));
      } else {
        QCOMPARE(text, QStringLiteral("%1.5").arg(line));
      }
    }
    QCOMPARE(form.Edit250->text(), QStringLiteral("mine.txt"));
    QCOMPARE(form.TabbedNotebook1->currentIndex(), 0);
  }

  // A data file written from other texts gives exactly those texts back, the disabled
  // entries excepted.
  void roundTripThroughFormatDataFile() {
    TempCurrentDir dir;
    MapEntryTexts source;
    int i = 0;
    for (const ConditionField& field : ConditionFields()) {
      source.ForceText(field.entryName, std::to_string(++i) + ".25");
    }
    const QString path = dir.FilePath(QStringLiteral("round trip.txt"));
    WriteDataFile(path.toStdString(), source);

    RecordedForm recorded;
    TForm1& form = *recorded.form;
    recorded.dialogs->nextChoice = QStringList{path};
    form.InputDataClick();
    QCOMPARE(recorded.dialogs->messages.size(), std::size_t{1});
    QCOMPARE(recorded.dialogs->messages[0].count(QStringLiteral("Warning: the data file's ")), kDisabled.size());
    for (const ConditionField& field : ConditionFields()) {
      const std::string expected = field.enabled ? source.Text(field.entryName) : field.defaultText;
      QCOMPARE(form.Text(field.entryName), expected);
    }
  }

  // Entries take texts of any length and keep the bytes they were loaded with, so saving
  // from the window gives the data file's bytes again; a text the user changes is saved as
  // shown.
  void savedAgainTheBytesStayTheSame_data() {
    QTest::addColumn<QByteArray>("speed");
    QTest::newRow("not UTF-8") << QByteArray("\x82P");
    QTest::newRow("40000 characters") << QByteArray("1.") + QByteArray(39998, '0');
    QTest::newRow("tab and latin-1") << QByteArray("2.5\t\xE9");
  }
  void savedAgainTheBytesStayTheSame() {
    QFETCH(QByteArray, speed);
    TempCurrentDir dir;
    MapEntryTexts source;
    source.SetText("Edit6", speed.toStdString());
    const QString path = dir.FilePath(QStringLiteral("loaded.txt"));
    WriteDataFile(path.toStdString(), source);

    RecordedForm recorded;
    TForm1& form = *recorded.form;
    recorded.dialogs->nextChoice = QStringList{path};
    form.InputDataClick();
    QVERIFY(recorded.dialogs->messages.empty());
    const QString saved = dir.FilePath(QStringLiteral("saved.txt"));
    WriteDataFile(saved.toStdString(), form);
    QCOMPARE(ReadBytes(saved), ReadBytes(path));

    form.Entry("Edit6")->setText(QStringLiteral("2.0"));
    WriteDataFile(saved.toStdString(), form);
    source.SetText("Edit6", "2.0");
    QCOMPARE(ReadBytes(saved), QByteArray::fromStdString(FormatDataFile(source)));
  }

  void dialogStartsInTheDirectoryListsDirectory() {
    TempCurrentDir dir;
    QVERIFY(QDir(dir.Path()).mkdir(QStringLiteral("data")));
    RecordedForm recorded;
    TForm1& form = *recorded.form;
    QVERIFY(form.DirectoryListBox1->OpenDirectory(QDir(dir.Path()).filePath(QStringLiteral("data"))));
    form.InputDataClick();
    QCOMPARE(recorded.dialogs->chooseDirectories.size(), std::size_t{1});
    QCOMPARE(recorded.dialogs->chooseDirectories.front(), form.DirectoryListBox1->Directory());
    QCOMPARE(QDir(recorded.dialogs->chooseDirectories.front()).dirName(), QStringLiteral("data"));
  }

  // Each failure shows its one message and changes nothing.
  void failuresChangeNothing_data() {
    QTest::addColumn<int>("chosenCount");
    QTest::addColumn<QByteArray>("content");  // null: the chosen file does not exist
    QTest::addColumn<QString>("message");     // %1 stands for the chosen file's full path
    QByteArray full;
    for (int line = 1; line <= 120; ++line) {
      full += "x = 7\n";
    }
    QByteArray short119;
    for (int line = 1; line <= 119; ++line) {
      short119 += "x = 7\n";
    }
    QByteArray secondLineWithoutEquals = full;
    secondLineWithoutEquals.replace(6, 6, "PHISI\n");
    QTest::newRow("cancelled") << 0 << full << "Select one data file! Please try again.";
    QTest::newRow("two files") << 2 << full << "Select one data file! Please try again.";
    QTest::newRow("missing file") << 1 << QByteArray() << "Data file can not open!";
    QTest::newRow("119 lines") << 1 << short119 << "\"%1\" is not a correct data file!";
    QTest::newRow("empty file") << 1 << QByteArray("") << "\"%1\" is not a correct data file!";
    QTest::newRow("a line without =") << 1 << secondLineWithoutEquals << "\"%1\" is not a correct data file!";
  }
  void failuresChangeNothing() {
    QFETCH(int, chosenCount);
    QFETCH(QByteArray, content);
    QFETCH(QString, message);
    TempCurrentDir dir;
    const QString path = dir.FilePath(QStringLiteral("data file.txt"));
    if (!content.isNull()) {
      QVERIFY(WriteBytes(path, content));
    }
    RecordedForm recorded;
    TForm1& form = *recorded.form;
    const QMap<QString, QString> before = Snapshot(form);
    for (int i = 0; i < chosenCount; ++i) {
      recorded.dialogs->nextChoice << path;
    }
    form.InputDataClick();
    QCOMPARE(QStringList(recorded.dialogs->messages.begin(), recorded.dialogs->messages.end()),
             QStringList{message.contains(QLatin1String("%1")) ? message.arg(path) : message});
    QVERIFY(recorded.dialogs->errors.empty());
    QVERIFY(recorded.dialogs->finishForms.empty());
    QCOMPARE(Snapshot(form), before);
  }

  // A loaded data file is what the next run reads.
  void aRunAfterALoadUsesTheLoadedTexts() {
    TempCurrentDir dir;
    MapEntryTexts source;
    source.SetText("Edit21", "");  // one zone
    source.SetText("Edit6", "2.0");
    const QString path = dir.FilePath(QStringLiteral("one zone.txt"));
    WriteDataFile(path.toStdString(), source);
    RecordedForm recorded;
    TForm1& form = *recorded.form;
    recorded.dialogs->nextChoice = QStringList{path};
    form.InputDataClick();
    QCOMPARE(form.Entry("Edit21")->text(), QString());
    QCOMPARE(form.Entry("Edit6")->text(), QStringLiteral("2.0"));
    form.BitBtn1Click();
    QCOMPARE(recorded.dialogs->finishForms.size(), std::size_t{1});
    QCOMPARE(form.Sim().conditions.ZoneCount, 1);
    QCOMPARE(form.Sim().conditions.LineSpeed, 2.0);
  }
};

QTEST_MAIN(DataFileTest)
#include "data_file_test.moc"
