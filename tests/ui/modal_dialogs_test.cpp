// The real modal dialogs: message and error boxes, the completion dialog and the open
// dialog, each answered from inside its own event loop.
#include <functional>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "ui/widgets/artwork.h"
#include "ui/widgets/bevel_panel.h"
#include "ui/widgets/look.h"
#include "ui_test_support.h"

using namespace tovimar::ui;
using namespace tovimar::ui::test;

namespace {

// Calls `answer` with the modal dialog as soon as one is open (from inside its event loop).
void WhenModalOpens(std::function<void(QWidget*)> answer) {
  auto* timer = new QTimer;
  timer->setInterval(5);
  QObject::connect(timer, &QTimer::timeout, [timer, answer = std::move(answer)] {
    if (QWidget* modal = QApplication::activeModalWidget()) {
      timer->stop();
      timer->deleteLater();
      answer(modal);
    }
  });
  timer->start();
}

}  // namespace

class ModalDialogsTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { ConfigureTestApplication(); }

  void messageBox() {
    TForm1 form;
    QString title, text;
    bool plain = false;
    WhenModalOpens([&](QWidget* modal) {
      auto* box = qobject_cast<QMessageBox*>(modal);
      QVERIFY(box != nullptr);
      title = box->windowTitle();
      text = box->text();
      plain = box->icon() == QMessageBox::NoIcon && box->buttons().size() == 1 &&
              box->button(QMessageBox::Ok) != nullptr;
      box->button(QMessageBox::Ok)->click();
    });
    form.Dialogs().ShowMessage(&form, QStringLiteral("Input value is not correct!"));
    QCOMPARE(title, QStringLiteral("Tovimar"));
    QCOMPARE(text, QStringLiteral("Input value is not correct!"));
    QVERIFY(plain);
  }

  void errorBox() {
    TForm1 form;
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    WhenModalOpens([&](QWidget* modal) {
      auto* box = qobject_cast<QMessageBox*>(modal);
      QVERIFY(box != nullptr);
      title = box->windowTitle();
      text = box->text();
      icon = box->icon();
      box->accept();
    });
    form.Dialogs().ShowError(&form, QStringLiteral("division by zero"));
    QCOMPARE(title, QStringLiteral("Tovimar - Error"));
    QCOMPARE(text, QStringLiteral("division by zero"));
    QCOMPARE(icon, QMessageBox::Critical);
  }

  void finishFormLayout() {
    TForm1 form;
    TFinishForm* finish = form.FinishForm;
    QVERIFY(finish != nullptr);
    QCOMPARE(finish->objectName(), QStringLiteral("FinishForm"));
    QCOMPARE(finish->windowTitle(), QStringLiteral("FinishForm"));
    QCOMPARE(finish->size(), QSize(316, 206));
    QCOMPARE(finish->minimumSize(), finish->maximumSize());
    QVERIFY(!finish->isVisible());
    QVERIFY(finish->isModal());
    QVERIFY(!finish->windowIcon().isNull());
    QCOMPARE(finish->Panel1->geometry(), QRect(0, 0, 316, 206));
    const QColor blue(0x00, 0x00, 0xFF);
    QCOMPARE(finish->Panel2->text(), QStringLiteral("Calculation is successfully finished !"));
    QCOMPARE(finish->Panel2->palette().color(QPalette::WindowText), blue);
    QCOMPARE(finish->Panel2->font().pixelSize(), 16);
    QCOMPARE(finish->Panel2->frameShadow(), QFrame::Raised);
    QCOMPARE(finish->Panel2->alignment(), Qt::AlignCenter);
    QCOMPARE(finish->Label3->text(), QStringLiteral("Version 1.2"));
    QCOMPARE(finish->Label3->palette().color(QPalette::WindowText), blue);
    QCOMPARE(finish->Label3->font().pixelSize(), 16);
    QCOMPARE(finish->Label1->text(), QStringLiteral("2008.8.8"));
    QCOMPARE(finish->Label1->font().pixelSize(), 15);
    QCOMPARE(finish->BitBtn1->text(), QStringLiteral("&OK"));
    QCOMPARE(finish->BitBtn1->geometry(), QRect(106, 151, 102, 31));
    QVERIFY(finish->BitBtn1->isDefault());
    QVERIFY(!finish->BitBtn1->icon().isNull());
    // Texts at their places, widened evenly only where the face needs it, never clipped.
    struct Place {
      QLabel* label;
      QRect layout;
    };
    for (const Place& p : {Place{finish->Panel2, QRect(21, 16, 269, 41)}, Place{finish->Label3, QRect(112, 64, 74, 16)},
                           Place{finish->Label1, QRect(122, 123, 54, 15)}}) {
      const QRect r = p.label->geometry();
      QCOMPARE(r.y(), p.layout.y());
      QCOMPARE(r.height(), p.layout.height());
      QVERIFY(r.width() >= p.layout.width());
      QVERIFY(std::abs(r.center().x() - p.layout.center().x()) <= 1);
      QVERIFY(p.label->fontMetrics().horizontalAdvance(p.label->text()) <= p.label->contentsRect().width());
      QVERIFY(finish->rect().contains(r));
    }
  }

  // Shown modally over the main window, closed by Enter (its OK button is the default),
  // and the same instance again on the next run; the main window takes no clicks meanwhile.
  void finishFormIsModalAndEnterClosesIt() {
    TempCurrentDir dir;
    TForm1 form;
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    int runs = 0;
    QObject::connect(&form, &TForm1::RunCompleted, [&] { ++runs; });
    // Clicks as the windowing system delivers them, so that modality applies.
    const auto clickRun = [&form] {
      QTest::mouseClick(form.windowHandle(), Qt::LeftButton, Qt::NoModifier,
                        form.BitBtn1->mapTo(&form, form.BitBtn1->rect().center()));
    };
    std::vector<QWidget*> shown;
    std::vector<int> runsWhileShown;
    const auto answer = [&](QWidget* modal) {
      shown.push_back(modal);
      QVERIFY(modal->isVisible());
      clickRun();
      runsWhileShown.push_back(runs);
      QTest::keyClick(modal, Qt::Key_Return);
    };
    WhenModalOpens(answer);
    clickRun();
    QCOMPARE(runs, 1);
    QVERIFY(!form.FinishForm->isVisible());
    WhenModalOpens(answer);
    clickRun();
    QCOMPARE(runs, 2);
    QCOMPARE(shown, (std::vector<QWidget*>{form.FinishForm, form.FinishForm}));
    // The click on Run while the dialog was open started nothing.
    QCOMPARE(runsWhileShown, (std::vector<int>{1, 2}));
    QVERIFY(!form.FinishForm->isVisible());
    QCOMPARE(form.FinishForm->result(), int(QDialog::Accepted));
  }

  void openDialog() {
    TempCurrentDir dir;
    QVERIFY(WriteBytes(dir.FilePath(QStringLiteral("conditions.txt")), "x"));
    QVERIFY(WriteBytes(dir.FilePath(QStringLiteral("README")), "x"));
    TForm1 form;
    QStringList comboTexts;
    QStringList filters;
    QString directory;
    bool openMode = false;
    bool txtMatchesOnlyTxt = false;
    WhenModalOpens([&](QWidget* modal) {
      auto* dialog = qobject_cast<QFileDialog*>(modal);
      QVERIFY(dialog != nullptr);
      filters = dialog->nameFilters();
      directory = dialog->directory().absolutePath();
      openMode = dialog->acceptMode() == QFileDialog::AcceptOpen && dialog->fileMode() != QFileDialog::ExistingFiles;
      auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
      QVERIFY(types != nullptr);
      for (int i = 0; i < types->count(); ++i) {
        comboTexts << types->itemText(i);
      }
      QCOMPARE(types->currentIndex(), 0);
      txtMatchesOnlyTxt = QDir::match(filters.value(0).section(QLatin1Char('('), 1).chopped(1), QStringLiteral("a.txt")) &&
                          !QDir::match(QStringLiteral("*.txt"), QStringLiteral("README"));
      dialog->reject();
    });
    const QStringList none = form.Dialogs().ChooseDataFiles(&form, dir.Path());
    QVERIFY(none.isEmpty());
    QCOMPARE(comboTexts, QStringList({"Text Files (*.txt)", "All Files (*.*)"}));
    QCOMPARE(filters.value(0), QStringLiteral("Text Files (*.txt)"));
    QCOMPARE(filters.value(1), QStringLiteral("All Files (*)"));  // every name, with or without a dot
    QCOMPARE(directory, QDir(dir.Path()).absolutePath());
    QVERIFY(openMode);
    QVERIFY(txtMatchesOnlyTxt);

    // A chosen file comes back with its full path.
    WhenModalOpens([&](QWidget* modal) {
      auto* dialog = qobject_cast<QFileDialog*>(modal);
      QVERIFY(dialog != nullptr);
      dialog->selectFile(QStringLiteral("conditions.txt"));
      static_cast<QDialog*>(dialog)->accept();  // QFileDialog::accept checks the selection
    });
    const QStringList chosen = form.Dialogs().ChooseDataFiles(&form, dir.Path());
    QCOMPARE(chosen, QStringList{QDir(dir.Path()).filePath(QStringLiteral("conditions.txt"))});
  }

  void inputDataWithTheRealDialogCancelled() {
    TempCurrentDir dir;
    TForm1 form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QStringList seen;
    WhenModalOpens([&](QWidget* modal) {
      seen << QString::fromLatin1(modal->metaObject()->className());
      qobject_cast<QDialog*>(modal)->reject();
      WhenModalOpens([&](QWidget* box) {
        seen << qobject_cast<QMessageBox*>(box)->text();
        qobject_cast<QMessageBox*>(box)->accept();
      });
    });
    QTest::mouseClick(form.InputData, Qt::LeftButton);
    QCOMPARE(seen, QStringList({"QFileDialog", "Select one data file! Please try again."}));
  }
};

QTEST_MAIN(ModalDialogsTest)
#include "modal_dialogs_test.moc"
