#include "ui/widgets/Tovimar_Main.h"

#include <algorithm>
#include <exception>
#include <limits>
#include <stdexcept>

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QShortcut>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "conditionfile/data_file.h"
#include "conditionfile/material_choice.h"
#include "ui/widgets/F_Form.h"
#include "ui/widgets/artwork.h"
#include "ui/widgets/directory_list_box.h"
#include "ui/widgets/material_picker.h"
#include "ui/widgets/help_window.h"
#include "ui/widgets/look.h"
#include "ui/widgets/window_placement.h"

namespace tovimar::ui {

QString RunErrorText(const RunOutcome& outcome) {
  const QString message = FromUtf8(outcome.message);
  switch (outcome.status) {
    case RunStatus::Completed:
      break;
    case RunStatus::StoppedAtInput:
      return QStringLiteral("The calculation did not start: the conditions cannot be used.\n\n") +
             message + QStringLiteral("\n\nNo result file was written.");
    case RunStatus::FileNotOpened:
      return QStringLiteral("The result file could not be opened.\n\n") + message;
    case RunStatus::WriteFailed:
      return QStringLiteral("Writing the result file failed.\n\n") + message +
             QStringLiteral("\n\nThe result file is incomplete: it holds only what was written "
                            "before the failure.");
    case RunStatus::ArithmeticFault:
      return QStringLiteral("The calculation stopped because of an arithmetic fault:\n\n") +
             message +
             QStringLiteral("\n\nAnything written to the result file before the fault stays "
                            "there; no completed result was produced.");
    case RunStatus::Unstable:
    case RunStatus::Boiling:
      return QStringLiteral("The calculation stopped because the model does not hold here:\n\n") +
             message +
             QStringLiteral("\n\nAnything written to the result file before stays there; no "
                            "completed result was produced.");
    case RunStatus::InternalError:
      return QStringLiteral("The calculation stopped on an unexpected error:\n\n") + message;
  }
  return message;
}

TForm1::TForm1(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMaximizeButtonHint |
                          Qt::WindowCloseButtonHint),
      dialogs_(std::make_unique<ModalDialogs>()) {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(QStringLiteral("Tovimar"));
  setWindowIcon(WindowIcon());
  setFont(GothicFont(12));
  // The window opens at the size of its layout and may grow: the condition pages keep their
  // places at the top left, the Drying Profile page grows with it. Only on a screen too
  // small for the layout does it get smaller (see showEvent); the notebook then scrolls.
  setMinimumSize(LayoutWidth, LayoutHeight);
  resize(LayoutWidth, LayoutHeight);
  auto* scroller = new QScrollArea(this);
  scroller->setObjectName(QStringLiteral("NotebookScroller"));
  scroller->setFrameShape(QFrame::NoFrame);
  scroller->setFocusPolicy(Qt::NoFocus);
  scroller->setWidgetResizable(true);
  auto* frameLayout = new QVBoxLayout(this);
  frameLayout->setContentsMargins(0, 0, 0, 0);
  frameLayout->addWidget(scroller);

  TabbedNotebook1 = new QTabWidget;
  TabbedNotebook1->setObjectName(QStringLiteral("TabbedNotebook1"));
  TabbedNotebook1->setMinimumSize(LayoutWidth, LayoutHeight);
  TabbedNotebook1->setGeometry(0, 0, LayoutWidth, LayoutHeight);
  TabbedNotebook1->setFocusPolicy(Qt::NoFocus);
  TabbedNotebook1->tabBar()->setFocusPolicy(Qt::NoFocus);
  TabbedNotebook1->tabBar()->setFont(TabFont());
  UseCompactTabs(TabbedNotebook1->tabBar(), TabHeight);

  BuildZonePage1(NewPage(QStringLiteral("Zone Cond. (1)")));
  for (const int page : {ZonePage2, ZonePage3}) {
    QWidget* pageWidget =
        NewPage(page == ZonePage2 ? QStringLiteral("Zone Cond. (2)") : QStringLiteral("Zone Cond. (3)"));
    for (const ZoneGroupPlace& place : ZoneGroups) {
      if (place.page == page) {
        BuildZoneGroup(pageWidget, place);
      }
    }
  }
  pickers_ = new MaterialPickers(*this);
  BuildGeneralPage(NewPage(QStringLiteral("General Cond.")));
  pickers_->Sync();
  AddActiveZonesLabels();
  TabbedNotebook1->setCurrentIndex(ZonePage1);
  scroller->setWidget(TabbedNotebook1);

  // Tab visits every entry and button of a page in the order they were laid out, which is
  // the order they are read in.
  for (std::size_t i = 1; i < tabChain_.size(); ++i) {
    QWidget::setTabOrder(tabChain_[i - 1], tabChain_[i]);
  }
  Entry("Edit1")->setFocus();

  FinishForm = new TFinishForm(this);
  auto* help = new QShortcut(QKeySequence::HelpContents, this);
  connect(help, &QShortcut::activated, this, &TForm1::ShowHelp);
}

TForm1::~TForm1() = default;

int TForm1::AddPage(QWidget* page, const QString& caption) {
  return TabbedNotebook1->addTab(page, caption);
}

void TForm1::SetDialogs(std::unique_ptr<FormDialogs> dialogs) {
  if (dialogs) {
    dialogs_ = std::move(dialogs);
  }
}

QLineEdit* TForm1::Entry(std::string_view entryName) const {
  const auto it = entries_.find(entryName);
  return it == entries_.end() ? nullptr : it->second;
}

std::string TForm1::Text(std::string_view entryName) const {
  const QLineEdit* entry = Entry(entryName);
  if (entry == nullptr) {
    throw std::out_of_range("no entry named " + std::string(entryName));
  }
  const QString text = entry->text();
  const auto given = givenBytes_.find(entryName);
  if (given != givenBytes_.end() && given->second.first == text) {
    return given->second.second;
  }
  return text.toStdString();
}

bool TForm1::IsEnabled(std::string_view entryName) const {
  const QLineEdit* entry = Entry(entryName);
  if (entry == nullptr) {
    throw std::out_of_range("no entry named " + std::string(entryName));
  }
  return entry->isEnabled();
}

MapEntryTexts TForm1::Snapshot() const {
  MapEntryTexts entries;
  for (const std::string& name : AllEntryNames()) entries.ForceText(name, Text(name));
  return entries;
}

void TForm1::SetText(std::string_view entryName, std::string_view text) {
  QLineEdit* entry = Entry(entryName);
  if (entry == nullptr) {
    throw std::out_of_range("no entry named " + std::string(entryName));
  }
  if (entry->isEnabled()) {
    entry->setText(FromUtf8(text));
    givenBytes_.insert_or_assign(std::string(entryName), std::pair{entry->text(), std::string(text)});
  }
}

void TForm1::ReportFailure(const QString& text) noexcept {
  try {
    dialogs_->ShowError(this, text);
  } catch (...) {
    // Nothing more can be reported; the window keeps running.
  }
}

void TForm1::BitBtn1Click() {
  try {
    emit RunStarting();
    RunOptions options;
    options.model = line_.Model;  // the line's drying model, as its pages were set
    const RunOutcome outcome = RunSimulation(sim_, *this, options);
    emit RunFinished(outcome);
    if (outcome.completed()) {
      emit RunCompleted();
      dialogs_->ShowFinishForm(FinishForm);
      return;
    }
    if (outcome.style == MessageStyle::Notice) {
      dialogs_->ShowMessage(this, FromUtf8(outcome.message));
    } else {
      dialogs_->ShowError(this, RunErrorText(outcome));
    }
    // The user corrects the offending entry next: show it.
    if (!outcome.entryName.empty()) {
      ShowEntry(outcome.entryName);
    }
  } catch (const std::exception& e) {
    ReportFailure(QStringLiteral("The calculation stopped on an unexpected error:\n\n") +
                  QString::fromUtf8(e.what()));
  } catch (...) {
    ReportFailure(QStringLiteral("The calculation stopped on an unexpected error."));
  }
}

void TForm1::BitBtn2Click() { close(); }

void TForm1::ShowHelp() {
  if (helpWindow_ == nullptr) {
    helpWindow_ = new HelpWindow(this);
  }
  helpWindow_->show();
  helpWindow_->raise();
  helpWindow_->activateWindow();
}

bool TForm1::ShowEntry(std::string_view entryName) {
  QLineEdit* entry = Entry(entryName);
  if (entry == nullptr) {
    return false;
  }
  for (int page = 0; page < TabbedNotebook1->count(); ++page) {
    if (TabbedNotebook1->widget(page)->isAncestorOf(entry)) {
      TabbedNotebook1->setCurrentIndex(page);
      break;
    }
  }
  entry->setFocus(Qt::OtherFocusReason);
  entry->selectAll();
  return true;
}

void TForm1::InputDataClick() {
  try {
    const QStringList chosen = dialogs_->ChooseDataFiles(this, DirectoryListBox1->Directory());
    if (chosen.size() != 1) {
      dialogs_->ShowMessage(this, FromUtf8(SelectOneDataFileMessage));
      return;
    }
    LoadDataFileFrom(chosen.front());
  } catch (const std::exception& e) {
    ReportFailure(QStringLiteral("Loading the data file stopped on an unexpected error:\n\n") +
                  QString::fromUtf8(e.what()));
  } catch (...) {
    ReportFailure(QStringLiteral("Loading the data file stopped on an unexpected error."));
  }
}

bool TForm1::LoadDataFileFrom(const QString& path) {
  std::vector<KeptEntry> kept;
  try {
    kept = LoadDataFile(QFile::encodeName(path).toStdString(), *this);
  } catch (const FileError& e) {
    dialogs_->ShowMessage(this, FromUtf8(e.what()));
    return false;
  }
  // The fixed constants keep the window's values; say so where the file's differ.
  std::optional<MaterialLibrary> library;
  try {
    library = LoadMaterialLibrary();
  } catch (const std::exception&) {
    // A library that cannot be read names no solvent.
  }
  QStringList warnings;
  for (const std::string& warning : KeptEntryWarnings(kept, *this, library ? &*library : nullptr)) {
    warnings << FromUtf8(warning);
  }
  if (!warnings.isEmpty()) dialogs_->ShowMessage(this, warnings.join(QStringLiteral("\n\n")));
  loadedDataFile_ = path;
  emit DataFileLoaded(path);
  return true;
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
  // An Alt combination that no mnemonic took (Alt+C on a page without the Close button)
  // is a command that does nothing here; it must not type its letter into an entry.
  if (event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if ((key->modifiers() & Qt::AltModifier) && !(key->modifiers() & Qt::ControlModifier) &&
        !key->text().isEmpty()) {
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

void TForm1::keyPressEvent(QKeyEvent* event) {
  const bool enter = (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
                     (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
  // Enter presses the button that has the focus, as Space does.
  QWidget* focus = QApplication::focusWidget();
  if (enter && (qobject_cast<QPushButton*>(focus) != nullptr || qobject_cast<QToolButton*>(focus) != nullptr) &&
      isAncestorOf(focus)) {
    event->accept();
    static_cast<QAbstractButton*>(focus)->click();
    return;
  }
  // The Run button is the window's default button: Enter presses it wherever the key is
  // not used by the control that has the focus, as long as the button is on show.
  if (enter && BitBtn1->isVisible() && BitBtn1->isEnabled()) {
    event->accept();
    BitBtn1->click();
    return;
  }
  QWidget::keyPressEvent(event);
}

void TForm1::SetRestoredPlace(const QRect& client, bool maximised) {
  restoredPlace_ = client;
  restoredMaximised_ = maximised;
}

void TForm1::showEvent(QShowEvent* event) {
  if (!shownBefore_) {
    shownBefore_ = true;
    const QScreen* screen = this->screen();
    if (restoredPlace_ && screen != nullptr && screen->availableGeometry().contains(*restoredPlace_)) {
      setGeometry(*restoredPlace_);
    } else {
      if (restoredPlace_) {
        resize(restoredPlace_->size());
      }
      PlaceOnScreen(this, QSize(LayoutWidth, LayoutHeight));
    }
    if (restoredMaximised_) {
      setWindowState(windowState() | Qt::WindowMaximized);
    }
  }
  QWidget::showEvent(event);
}

void TForm1::closeEvent(QCloseEvent* event) {
  bool close = true;
  try {
    close = !closeGuard_ || closeGuard_();
  } catch (const std::exception& e) {
    ReportFailure(QStringLiteral("Closing stopped on an unexpected error:\n\n") + QString::fromUtf8(e.what()));
    close = false;
  }
  if (close) {
    event->accept();
  } else {
    event->ignore();
  }
}

}  // namespace tovimar::ui
