// Sessions: the window's work kept between starts and in named files, and "Save changes?"
// before changes that are in no file would be lost.
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include "conditionfile/line_file.h"
#include "conditionfile/session_file.h"
#include "ui/widgets/main_window.h"
#include "ui/widgets/optimise_page.h"
#include "ui/widgets/pin_board.h"
#include "ui/widgets/session_keeper.h"
#include "ui_test_support.h"

using namespace tovimar;
using namespace tovimar::ui;
using namespace tovimar::ui::test;

namespace {

struct Window : RecordedWindow {
  Window() {
    auto answering = std::make_unique<AnsweringFileDialogs>();
    files = answering.get();
    main.session->SetFileDialogs(std::move(answering));
  }
  // Pins the run of the entries with line speed `speed` (in memory) under `name`.
  bool Pin(const char* speed, const QString& name) {
    MapEntryTexts entries;
    entries.ForceText("Edit6", speed);
    main.profile->ShowTrialRun(entries, Form().Line());
    return main.profile->PinRun(name);
  }
  std::string Entry(const char* name) const { return Form().Text(name); }

  AnsweringFileDialogs* files = nullptr;
};

Session SessionIn(const QString& path) { return ReadSessionFile(QFile::encodeName(path).toStdString()); }

}  // namespace

class SessionTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    // The user's own directories stay out of it.
    QVERIFY(home_.isValid());
    qputenv("XDG_DATA_HOME", QFile::encodeName(home_.filePath(QStringLiteral("data"))));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home_.filePath(QStringLiteral("config"))));
    ConfigureTestApplication();
    QVERIFY(SessionKeeper::LastSessionPath().startsWith(home_.path()));
  }
  void init() {
    QFile::remove(SessionKeeper::LastSessionPath());
    QFile::remove(SessionKeeper::SettingsPath());
  }

  // Entries, line settings with the Optimise set-up, pinned runs and the window's place come
  // back at the next start as they were; the pinned runs are made again to the last bit.
  void lastSessionComesBackAtTheNextStart() {
    double pinnedEndTemp = 0;
    {
      Window first;
      QVERIFY(first.main.session->RestoreLastSession());  // none yet: the defaults
      QCOMPARE(first.Entry("Edit6"), std::string("1.0"));
      first.Form().SetText("Edit6", "2.5");
      first.Form().SetText("Edit31", "70");
      first.Form().Line().WebWidth = 1.6;
      first.Form().findChild<OptimisePage*>()->AddVariable(QStringLiteral("LineSpeed"), 0.1, 3);
      QVERIFY(first.Pin("0.5", QStringLiteral("slow")));
      QVERIFY(first.Pin("1.5", QStringLiteral("fast")));
      pinnedEndTemp = first.main.profile->Pinned().Runs()[0].results.line.points.back().temp;
      first.Form().show();
      QVERIFY(QTest::qWaitForWindowExposed(&first.Form()));
      QVERIFY(first.Form().screen()->availableGeometry().contains(place_));
      first.Form().setGeometry(place_);
      first.dialogs->nextSaveChanges = SaveChangesAnswer::Save;
      QVERIFY(first.Form().close());
      QCOMPARE(first.dialogs->saveChangesAsked.size(), std::size_t{1});
    }
    Window next;
    QVERIFY(next.main.session->RestoreLastSession());
    QCOMPARE(next.Entry("Edit6"), std::string("2.5"));
    QCOMPARE(next.Entry("Edit31"), std::string("70"));
    QCOMPARE(next.Form().Line().WebWidth, 1.6);
    QCOMPARE(next.Form().Line().Optimise.variables, std::vector<std::string>{"LineSpeed=0.1:3"});
    const std::vector<PinnedRun>& pinned = next.main.profile->Pinned().Runs();
    QCOMPARE(pinned.size(), std::size_t{2});
    QCOMPARE(pinned[0].name, std::string("slow"));
    QCOMPARE(pinned[1].name, std::string("fast"));
    QCOMPARE(pinned[0].inputs.entries.at("Edit6"), std::string("0.5"));
    QCOMPARE(pinned[0].results.line.points.back().temp, pinnedEndTemp);
    next.Form().show();
    QVERIFY(QTest::qWaitForWindowExposed(&next.Form()));
    QCOMPARE(next.Form().geometry(), place_);
    QCOMPARE(next.Form().windowTitle(), QStringLiteral("Tovimar"));
    QVERIFY(!next.main.session->IsModified());
    QVERIFY(next.dialogs->errors.empty());
  }

  // Close, Alt+C and the close box ask the same question of a named session with changes.
  void closingAsksToSaveChanges_data() {
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("how");
    QTest::newRow("Save, Close button") << int(SaveChangesAnswer::Save) << "button";
    QTest::newRow("Discard, Alt+C") << int(SaveChangesAnswer::Discard) << "alt";
    QTest::newRow("Cancel, close box") << int(SaveChangesAnswer::Cancel) << "box";
    QTest::newRow("Cancel, Alt+C") << int(SaveChangesAnswer::Cancel) << "alt";
  }
  void closingAsksToSaveChanges() {
    QFETCH(int, answer);
    QFETCH(QString, how);
    const QString named = home_.filePath(QStringLiteral("line 7.json"));
    Window w;
    QVERIFY(w.main.session->RestoreLastSession());
    QVERIFY(w.main.session->SaveSession(named));
    QCOMPARE(w.Form().windowTitle(), QStringLiteral("line 7.json - Tovimar"));
    w.Form().SetText("Edit6", "3");
    w.Form().show();
    QVERIFY(QTest::qWaitForWindowActive(&w.Form()));
    w.dialogs->nextSaveChanges = static_cast<SaveChangesAnswer>(answer);
    if (how == QLatin1String("button")) {
      QTest::mouseClick(w.Form().BitBtn2, Qt::LeftButton);
    } else if (how == QLatin1String("alt")) {
      w.Form().Entry("Edit1")->setFocus();
      QTest::keyClick(w.Form().Entry("Edit1"), Qt::Key_C, Qt::AltModifier);
      // The mnemonic presses the button visibly, then it closes the window.
      QTRY_VERIFY(!w.dialogs->saveChangesAsked.empty());
    } else {
      w.Form().close();
    }
    QCOMPARE(w.dialogs->saveChangesAsked, std::vector<QString>{QStringLiteral(
        "The session \"line 7.json\" has changes that are not saved. Save writes them to it; "
        "Discard drops them.")});
    const auto given = static_cast<SaveChangesAnswer>(answer);
    QCOMPARE(w.Form().isVisible(), given == SaveChangesAnswer::Cancel);
    // The named file holds the change only when saved; the session of the next start is
    // written only on closing, and holds what was kept, with the named file.
    QCOMPARE(SessionIn(named).inputs.entries.at("Edit6"),
             std::string(given == SaveChangesAnswer::Save ? "3" : "1.0"));
    QCOMPARE(QFile::exists(SessionKeeper::LastSessionPath()), given != SaveChangesAnswer::Cancel);
    if (given != SaveChangesAnswer::Cancel) {
      const Session last = SessionIn(SessionKeeper::LastSessionPath());
      QCOMPARE(last.inputs.entries.at("Edit6"), std::string(given == SaveChangesAnswer::Save ? "3" : "1.0"));
      QCOMPARE(QFile::decodeName(last.sessionFile.c_str()), named);
    }
  }

  void closingWithoutChangesAsksNothing() {
    Window w;
    QVERIFY(w.main.session->RestoreLastSession());
    w.Form().SetText("Edit6", "1.0");  // the text it had
    QVERIFY(w.Form().close());
    QVERIFY(w.dialogs->saveChangesAsked.empty());
    QVERIFY(QFile::exists(SessionKeeper::LastSessionPath()));
  }

  // A session that cannot be read says so, is set aside, and the window starts from the defaults.
  void unreadableLastSessionStartsFromTheDefaults() {
    QVERIFY(QDir().mkpath(QFileInfo(SessionKeeper::LastSessionPath()).absolutePath()));
    QVERIFY(WriteBytes(SessionKeeper::LastSessionPath(), R"({"TovimarSession": 1, "Entries": {"Speed": "2"}})"));
    Window w;
    QVERIFY(!w.main.session->RestoreLastSession());
    QCOMPARE(w.dialogs->errors.size(), std::size_t{1});
    QVERIFY2(w.dialogs->errors[0].startsWith(QStringLiteral(
                 "The session of the last start could not be read, so the window starts from the defaults.")),
             qPrintable(w.dialogs->errors[0]));
    QVERIFY(w.dialogs->errors[0].contains(QStringLiteral("names no entry: \"Speed\"")));
    QCOMPARE(w.Entry("Edit6"), std::string("1.0"));
    QVERIFY(!QFile::exists(SessionKeeper::LastSessionPath()));
    QVERIFY(QFile::exists(SessionKeeper::LastSessionPath() + QStringLiteral(".unreadable")));
  }

  // Save Session... and Open Session...: the title names the file, the recent files list it,
  // and a file that is not a session changes nothing.
  void namedSessionsSaveOpenAndAreListed() {
    const QString path = home_.filePath(QStringLiteral("fast.json"));
    {
      Window w;
      w.Form().SetText("Edit6", "2");
      QVERIFY(w.Pin("0.8", QStringLiteral("Run 1")));
      w.files->nextPath = path;
      w.main.session->SaveAsClick();
      QCOMPARE(w.Form().windowTitle(), QStringLiteral("fast.json - Tovimar"));
      QVERIFY(!w.main.session->IsModified());
    }
    Window w;
    w.Form().SetText("Edit7", "20");
    w.dialogs->nextSaveChanges = SaveChangesAnswer::Discard;
    w.files->nextPath = path;
    w.main.session->OpenClick();
    QCOMPARE(w.dialogs->saveChangesAsked.size(), std::size_t{1});
    QCOMPARE(w.Entry("Edit6"), std::string("2"));
    QCOMPARE(w.Entry("Edit7"), std::string("15.0"));
    QCOMPARE(w.main.profile->Pinned().Runs().size(), std::size_t{1});
    QCOMPARE(w.Form().windowTitle(), QStringLiteral("fast.json - Tovimar"));
    const std::vector<RecentFile> recent = w.main.session->RecentFiles();
    QCOMPARE(recent.size(), std::size_t{1});
    QCOMPARE(recent[0].path, path);

    const QString line = home_.filePath(QStringLiteral("line.json"));
    WriteLineFile(QFile::encodeName(line).toStdString(), LineSettings{});
    w.Form().SetText("Edit6", "4");
    QVERIFY(!w.main.session->OpenSession(line));
    QCOMPARE(w.dialogs->errors.size(), std::size_t{1});
    QVERIFY(w.dialogs->errors[0].contains(QStringLiteral("It is not a session")));
    QCOMPARE(w.Entry("Edit6"), std::string("4"));
    QCOMPARE(w.Form().windowTitle(), QStringLiteral("fast.json - Tovimar"));
  }

 private:
  QTemporaryDir home_;
  const QRect place_{10, 20, 760, 560};  // within the offscreen screen, above the layout's size
};

QTEST_MAIN(SessionTest)
#include "session_test.moc"
