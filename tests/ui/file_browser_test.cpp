// The drive selector, directory list and file list: what they show, and how opening a
// directory moves the process's current directory and with it the result file.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStorageInfo>
#include <QTest>

#include "ui/widgets/directory_list_box.h"
#include "ui/widgets/drive_combo_box.h"
#include "ui/widgets/file_list_box.h"
#include "ui_test_support.h"

using namespace tovimar::ui;
using namespace tovimar::ui::test;

namespace {

QStringList Texts(const QListWidget* list) {
  QStringList texts;
  for (int row = 0; row < list->count(); ++row) {
    texts << list->item(row)->text();
  }
  return texts;
}

QListWidgetItem* ItemNamed(const QListWidget* list, const QString& text) {
  for (int row = 0; row < list->count(); ++row) {
    if (list->item(row)->text() == text) {
      return list->item(row);
    }
  }
  return nullptr;
}

void DoubleClick(QListWidget* list, QListWidgetItem* item) {
  list->scrollToItem(item);
  const QPoint centre = list->visualItemRect(item).center();
  // A double-click as the system delivers it: press, release, double-click, release.
  QTest::mousePress(list->viewport(), Qt::LeftButton, Qt::NoModifier, centre);
  QTest::mouseRelease(list->viewport(), Qt::LeftButton, Qt::NoModifier, centre);
  QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, centre);
  QTest::mouseRelease(list->viewport(), Qt::LeftButton, Qt::NoModifier, centre);
}

// A directory with two files and two subdirectories.
void MakeTree(const QString& root) {
  QDir dir(root);
  QVERIFY(dir.mkdir(QStringLiteral("sub")));
  QVERIFY(dir.mkdir(QStringLiteral("Beta")));
  QVERIFY(WriteBytes(dir.filePath(QStringLiteral("b.dat")), "b"));
  QVERIFY(WriteBytes(dir.filePath(QStringLiteral("a.txt")), "a"));
  QVERIFY(WriteBytes(dir.filePath(QStringLiteral("sub/inner.txt")), "i"));
}

}  // namespace

class FileBrowserTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { ConfigureTestApplication(); }

  void startUpShowsTheCurrentDirectory() {
    TempCurrentDir dir;
    MakeTree(dir.Path());
    RecordedForm recorded;
    TForm1& form = *recorded.form;
    const QString current = QDir::currentPath();
    QCOMPARE(form.DirectoryListBox1->Directory(), current);
    QCOMPARE(form.FileListBox1->Directory(), current);
    QCOMPARE(Texts(form.FileListBox1), QStringList({"a.txt", "b.dat"}));
    // The chain from the root to the current directory, then its subdirectories.
    const QStringList shown = Texts(form.DirectoryListBox1);
    QCOMPARE(shown.front(), QStringLiteral("/"));
    QCOMPARE(shown.mid(shown.size() - 3), QStringList({QDir(current).dirName(), "Beta", "sub"}));
    QCOMPARE(form.DirectoryListBox1->currentItem()->text(), QDir(current).dirName());
    QCOMPARE(form.DriveComboBox1->Drive(), QStorageInfo(current).rootPath());
  }

  void doubleClickOpensADirectory() {
    TempCurrentDir dir;
    MakeTree(dir.Path());
    RecordedForm recorded;
    TForm1& form = *recorded.form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QListWidgetItem* sub = ItemNamed(form.DirectoryListBox1, QStringLiteral("sub"));
    QVERIFY(sub != nullptr);
    DoubleClick(form.DirectoryListBox1, sub);
    const QString subPath = QDir(dir.Path()).filePath(QStringLiteral("sub"));
    QCOMPARE(QDir::currentPath(), QDir(subPath).canonicalPath());
    QCOMPARE(form.DirectoryListBox1->Directory(), QDir::currentPath());
    QCOMPARE(Texts(form.FileListBox1), QStringList({"inner.txt"}));
    QCOMPARE(Texts(form.DirectoryListBox1).back(), QStringLiteral("sub"));

    // Up again through the chain.
    QListWidgetItem* parent = ItemNamed(form.DirectoryListBox1, QDir(dir.Path()).dirName());
    QVERIFY(parent != nullptr);
    DoubleClick(form.DirectoryListBox1, parent);
    QCOMPARE(QDir::currentPath(), QDir(dir.Path()).canonicalPath());
    QCOMPARE(Texts(form.FileListBox1), QStringList({"a.txt", "b.dat"}));
    QVERIFY(recorded.dialogs->errors.empty());
  }

  void enterInTheDirectoryListOpensTheHighlightedDirectory() {
    TempCurrentDir dir;
    MakeTree(dir.Path());
    RecordedForm recorded;
    TForm1& form = *recorded.form;
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    form.DirectoryListBox1->setFocus();
    form.DirectoryListBox1->setCurrentItem(ItemNamed(form.DirectoryListBox1, QStringLiteral("Beta")));
    QTest::keyClick(form.DirectoryListBox1, Qt::Key_Return);
    QCOMPARE(QDir(QDir::currentPath()).dirName(), QStringLiteral("Beta"));
    QVERIFY(recorded.dialogs->finishForms.empty());  // Enter opened, it did not run
  }

  void resultFileGoesToTheOpenedDirectory() {
    TempCurrentDir dir;
    MakeTree(dir.Path());
    RecordedForm recorded;
    TForm1& form = *recorded.form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    DoubleClick(form.DirectoryListBox1, ItemNamed(form.DirectoryListBox1, QStringLiteral("sub")));
    QTest::mouseClick(form.BitBtn1, Qt::LeftButton);
    QVERIFY(QFileInfo(QDir(dir.Path()).filePath(QStringLiteral("sub/result.txt"))).isFile());
    QVERIFY(!QFile::exists(QDir(dir.Path()).filePath(QStringLiteral("result.txt"))));
    // The file list follows the folder: the run's result file shows at once, the selection
    // stays, and a file removed goes.
    QTRY_COMPARE(Texts(form.FileListBox1), QStringList({"inner.txt", "result.txt"}));
    QCOMPARE(recorded.dialogs->finishForms.size(), std::size_t{1});
    form.FileListBox1->setCurrentRow(1);
    QVERIFY(QFile::remove(QDir(dir.Path()).filePath(QStringLiteral("sub/inner.txt"))));
    QTRY_COMPARE(Texts(form.FileListBox1), QStringList({"result.txt"}));
    QCOMPARE(form.FileListBox1->currentItem()->text(), QStringLiteral("result.txt"));
  }

  void aDirectoryThatVanishedIsReportedAndNothingMoves() {
    TempCurrentDir dir;
    MakeTree(dir.Path());
    RecordedForm recorded;
    TForm1& form = *recorded.form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QVERIFY(QDir(dir.Path()).rmdir(QStringLiteral("Beta")));
    DoubleClick(form.DirectoryListBox1, ItemNamed(form.DirectoryListBox1, QStringLiteral("Beta")));
    QCOMPARE(recorded.dialogs->errors.size(), std::size_t{1});
    QVERIFY(recorded.dialogs->errors.front().contains(QStringLiteral("Beta")));
    QCOMPARE(QDir::currentPath(), QDir(dir.Path()).canonicalPath());
    QCOMPARE(form.DirectoryListBox1->Directory(), QDir::currentPath());
  }

  void driveSelectorListsMountedDirectories() {
    TempCurrentDir dir;
    RecordedForm recorded;
    DriveComboBox* drives = recorded.form->DriveComboBox1;
    QVERIFY(drives->count() >= 1);
    for (int i = 0; i < drives->count(); ++i) {
      QVERIFY(QFileInfo(drives->itemData(i).toString()).isDir());
    }
    QVERIFY(drives->findData(QStringLiteral("/")) >= 0 || QStorageInfo::root().rootPath() != QStringLiteral("/"));
  }

  void choosingADriveReturnsToItsLastDirectory() {
    TempCurrentDir dir;
    MakeTree(dir.Path());
    RecordedForm recorded;
    TForm1& form = *recorded.form;
    form.DirectoryListBox1->OpenDirectory(QDir(dir.Path()).filePath(QStringLiteral("sub")));
    const QString sub = QDir::currentPath();
    DriveComboBox* drives = form.DriveComboBox1;
    const int own = drives->findData(QStorageInfo(sub).rootPath());
    QVERIFY(own >= 0);
    QCOMPARE(drives->currentIndex(), own);
    // Another volume, when there is one, opens at its root; back on the first volume the
    // list returns to the directory it showed there.
    int other = -1;
    for (int i = 0; i < drives->count(); ++i) {
      if (i != own && QDir(drives->itemData(i).toString()).isReadable()) {
        other = i;
        break;
      }
    }
    if (other >= 0) {
      emit drives->activated(other);
      QCOMPARE(drives->currentIndex(), other);
      QCOMPARE(QDir::currentPath(), QDir(drives->itemData(other).toString()).canonicalPath());
      drives->setCurrentIndex(own);
    }
    emit drives->activated(own);
    QCOMPARE(QDir::currentPath(), sub);
    QCOMPARE(form.DirectoryListBox1->Directory(), sub);
  }
};

QTEST_MAIN(FileBrowserTest)
#include "file_browser_test.moc"
