#include "startup.h"

#include <exception>

#include <QApplication>
#include <QEvent>
#include <QMessageBox>
#include <QTimer>

#include "format/file_writer.h"
#include "ui/widgets/application_setup.h"
#include "ui/widgets/main_window.h"
#include "ui/widgets/session_keeper.h"
#include "ui/widgets/form_dialogs.h"

namespace tovimar::ui {
namespace {

// The last line of defence: a failure that escapes an event handler is shown in an error
// box and the program goes on running.
class TovimarApplication : public QApplication {
 public:
  using QApplication::QApplication;

  bool notify(QObject* receiver, QEvent* event) override {
    try {
      return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
      ShowFailure(QString::fromUtf8(e.what()));
    } catch (...) {
      ShowFailure(QStringLiteral("unknown error"));
    }
    return false;
  }

 private:
  static void ShowFailure(const QString& what) {
    try {
      QMessageBox::critical(activeWindow(), QString::fromUtf8(ErrorBoxCaption),
                            QStringLiteral("The operation stopped on an unexpected error:\n\n") + what);
    } catch (...) {
    }
  }
};

// Quits the application after the first paint of any widget.
class QuitWhenPainted : public QObject {
 public:
  using QObject::QObject;

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint && !done_) {
      done_ = true;
      QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  bool done_ = false;
};

}  // namespace

int RunTovimar(int& argc, char** argv, const StartOptions& options) {
  InstallFileSignalHandling();  // a size limit is a failed write; signals remove temporary files
  TovimarApplication app(argc, argv);
  ConfigureApplication();

  const MainWindow window = BuildMainWindow();
  // The work of the last start comes back; from now on it is kept whenever the window closes.
  window.session->RestoreLastSession();
  QuitWhenPainted quitter;
  if (options.quitWhenShown) {
    // The window's first paint may be its children's alone (the pages sit in a scroll
    // area that covers it): every object's events are watched.
    app.installEventFilter(&quitter);
  }
  window.form->show();
  return QApplication::exec();
}

}  // namespace tovimar::ui
