#include "ui/widgets/session_keeper.h"

#include <exception>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QSettings>
#include <QStandardPaths>
#include <QTabWidget>
#include <QToolButton>

#include "results/output_catalogue.h"
#include "run/run_sequence.h"
#include "ui/widgets/Tovimar_Main.h"
#include "ui/widgets/artwork.h"
#include "ui/widgets/directory_list_box.h"
#include "ui/widgets/line_file_dialogs.h"
#include "ui/widgets/line_page.h"
#include "ui/widgets/look.h"
#include "ui/widgets/pin_board.h"
#include "ui/widgets/profile_page.h"

namespace tovimar::ui {
namespace {

std::string PathBytes(const QString& path) { return QFile::encodeName(path).toStdString(); }
QString PathText(const std::string& path) { return QFile::decodeName(path.c_str()); }

// Makes the run of a pinned run's inputs again, in memory; the message when it does not
// complete or cannot be pinned.
std::optional<QString> PinAgain(PinBoard& board, const SessionPin& pin) {
  Simulation sim;
  RunOptions options;
  options.writeResultFile = false;
  options.model = pin.inputs.line.Model;
  try {
    const RunOutcome outcome = RunSimulation(sim, EntriesOf(pin.inputs), options);
    if (!outcome.completed()) return FromUtf8(outcome.message);
    board.Pin(pin.name, DeriveResults(sim, pin.inputs.line), pin.inputs);
  } catch (const std::exception& e) {
    return FromUtf8(e.what());
  }
  return std::nullopt;
}

}  // namespace

SessionKeeper::SessionKeeper(TForm1& form, ProfilePage* profile, LinePage* line)
    : QObject(&form), form_(form), profile_(profile), line_(line),
      dialogs_(std::make_unique<ModalLineFileDialogs>()) {
  setObjectName(QStringLiteral("SessionKeeper"));
  Menu = new QMenu(&form_);
  Menu->setObjectName(QStringLiteral("SessionMenu"));
  NewAction = Menu->addAction(QStringLiteral("&New Session"), this, &SessionKeeper::NewClick);
  NewAction->setShortcut(QKeySequence::New);
  OpenAction = Menu->addAction(QStringLiteral("&Open Session..."), this, &SessionKeeper::OpenClick);
  OpenAction->setShortcut(QKeySequence::Open);
  RecentMenu = Menu->addMenu(QStringLiteral("&Recent Files"));
  RecentMenu->setObjectName(QStringLiteral("RecentMenu"));
  connect(RecentMenu, &QMenu::aboutToShow, this, &SessionKeeper::FillRecentMenu);
  Menu->addSeparator();
  SaveAction = Menu->addAction(QStringLiteral("&Save Session"), this, &SessionKeeper::SaveClick);
  SaveAction->setShortcut(QKeySequence::Save);
  SaveAsAction = Menu->addAction(QStringLiteral("Save Session &As..."), this, &SessionKeeper::SaveAsClick);
  SaveAsAction->setShortcut(QKeySequence::SaveAs);
  // The shortcuts work wherever the focus is in the window, with the menu closed.
  form_.addActions({NewAction, OpenAction, SaveAction, SaveAsAction});

  Button = new QToolButton;
  Button->setObjectName(QStringLiteral("SessionButton"));
  // Only the glyph shows (the tabs leave little room beside them); the text gives the button
  // its name and Alt+N.
  Button->setIcon(SessionGlyph());
  Button->setText(QStringLiteral("Sessio&n"));
  Button->setToolButtonStyle(Qt::ToolButtonIconOnly);
  Button->setToolTip(QStringLiteral("Sessions: save and open the entries, line settings and pinned "
                                    "runs as one file, or reopen a file used lately (Alt+N)."));
  Button->setFocusPolicy(Qt::NoFocus);
  Button->setAutoRaise(true);
  Button->setPopupMode(QToolButton::InstantPopup);
  Button->setMenu(Menu);
  form_.TabbedNotebook1->setCornerWidget(Button, Qt::TopRightCorner);

  connect(&form_, &TForm1::DataFileLoaded, this,
          [this](const QString& path) { AddRecentFile({path, RecentFile::Kind::DataFile}); });
  Keep(QString());
}

SessionKeeper::~SessionKeeper() = default;

SessionKeeper* SessionKeeper::AttachTo(TForm1& form, ProfilePage* profile, LinePage* line) {
  auto* keeper = new SessionKeeper(form, profile, line);
  form.SetCloseGuard([keeper] { return keeper->CloseWindow(); });
  return keeper;
}

QString SessionKeeper::LastSessionPath() {
  return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
      .filePath(QStringLiteral("last-session.json"));
}

QString SessionKeeper::SettingsPath() {
  return QDir(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation))
      .filePath(QStringLiteral("tovimar.conf"));
}

void SessionKeeper::SetFileDialogs(std::unique_ptr<LineFileDialogs> dialogs) {
  if (dialogs) dialogs_ = std::move(dialogs);
}

void SessionKeeper::ShowError(const QString& text) const {
  try {
    form_.Dialogs().ShowError(&form_, text);
  } catch (...) {
    // Nothing more can be reported.
  }
}

Session SessionKeeper::Capture(bool contentOnly) const {
  Session session;
  session.inputs = InputsOf(form_, form_.Line());
  if (profile_ != nullptr) {
    for (const PinnedRun& run : profile_->Pinned().Runs()) session.pinned.push_back({run.name, run.inputs});
  }
  session.dataFile = PathBytes(form_.LoadedDataFile());
  if (!contentOnly) {
    session.sessionFile = PathBytes(sessionFile_);
    const QRect place = form_.isMaximized() ? form_.normalGeometry() : form_.geometry();
    session.window = SessionWindow{place.x(), place.y(), place.width(), place.height(), form_.isMaximized()};
  }
  return session;
}

void SessionKeeper::Apply(const Session& session, bool restoring) {
  for (const auto& [entry, text] : session.inputs.entries) form_.SetText(entry, text);
  form_.Line() = session.inputs.line;
  emit form_.LineSettingsLoaded();
  form_.SetLoadedDataFile(PathText(session.dataFile));
  QStringList lost;
  if (profile_ != nullptr) {
    profile_->Pinned().Clear();
    for (const SessionPin& pin : session.pinned) {
      if (const std::optional<QString> why = PinAgain(profile_->Pinned(), pin)) {
        lost << QStringLiteral("\"%1\": %2").arg(FromUtf8(pin.name), *why);
      }
    }
    profile_->ShowNoResult(QStringLiteral("No run of these entries yet. Run the simulation (OK on the "
                                          "first page) to see its drying profile here."));
  }
  if (restoring && session.window) {
    const SessionWindow& w = *session.window;
    form_.SetRestoredPlace(QRect(w.x, w.y, w.width, w.height), w.maximised);
  }
  if (!lost.isEmpty()) {
    ShowError(QStringLiteral("These pinned runs could not be made again and are left out:\n\n") +
              lost.join(QLatin1Char('\n')));
  }
}

void SessionKeeper::Keep(const QString& sessionFile) {
  sessionFile_ = sessionFile;
  kept_ = Capture(true);
  keptText_ = FormatSession(kept_);
  ShowTitle();
}

bool SessionKeeper::IsModified() const { return FormatSession(Capture(true)) != keptText_; }

void SessionKeeper::ShowTitle() {
  form_.setWindowTitle(sessionFile_.isEmpty() ? QStringLiteral("Tovimar")
                                              : QFileInfo(sessionFile_).fileName() + QStringLiteral(" - Tovimar"));
}

bool SessionKeeper::RestoreLastSession() {
  remembering_ = true;
  const QString path = LastSessionPath();
  if (!QFile::exists(path)) return true;
  Session session;
  try {
    session = ReadSessionFile(PathBytes(path));
  } catch (const std::exception& e) {
    const QString aside = path + QStringLiteral(".unreadable");
    QFile::remove(aside);
    const bool setAside = QFile::rename(path, aside);
    ShowError(QStringLiteral("The session of the last start could not be read, so the window starts "
                             "from the defaults.\n\n") + FromUtf8(e.what()) +
              (setAside ? QStringLiteral("\n\nThe file is kept as \"%1\".").arg(QDir::toNativeSeparators(aside))
                        : QString()));
    return false;
  }
  Apply(session, true);
  Keep(PathText(session.sessionFile));
  return true;
}

bool SessionKeeper::SaveSession(const QString& path) {
  if (line_ != nullptr) line_->ApplyPending();
  try {
    WriteSessionFile(PathBytes(path), Capture(true));
  } catch (const std::exception& e) {
    ShowError(QStringLiteral("The session could not be saved as \"%1\":\n\n%2")
                  .arg(QDir::toNativeSeparators(path), FromUtf8(e.what())));
    return false;
  }
  Keep(path);
  AddRecentFile({path, RecentFile::Kind::Session});
  return true;
}

bool SessionKeeper::OpenSession(const QString& path) {
  Session session;
  try {
    session = ReadSessionFile(PathBytes(path));
  } catch (const std::exception& e) {
    ShowError(QStringLiteral("The session \"%1\" could not be opened:\n\n%2")
                  .arg(QDir::toNativeSeparators(path), FromUtf8(e.what())));
    return false;
  }
  Apply(session, false);
  Keep(path);
  AddRecentFile({path, RecentFile::Kind::Session});
  return true;
}

QString SessionKeeper::SuggestedDirectory() const {
  if (!sessionFile_.isEmpty()) return QFileInfo(sessionFile_).absolutePath();
  return form_.DirectoryListBox1 != nullptr ? form_.DirectoryListBox1->Directory() : QDir::currentPath();
}

void SessionKeeper::SaveClick() {
  if (sessionFile_.isEmpty()) {
    SaveAsClick();
  } else {
    SaveSession(sessionFile_);
  }
}

void SessionKeeper::SaveAsClick() {
  const QString suggested = sessionFile_.isEmpty()
                                ? QDir(SuggestedDirectory()).filePath(QStringLiteral("session.json"))
                                : sessionFile_;
  const QString path = dialogs_->ChooseSaveFile(&form_, QStringLiteral("Save Session"), suggested,
                                                {QString::fromUtf8(SessionFileFilter),
                                                 QStringLiteral("All Files (*)")}, nullptr);
  if (!path.isEmpty()) SaveSession(path);
}

void SessionKeeper::OpenClick() {
  if (!ConfirmLoss(false)) return;
  const QString path = dialogs_->ChooseOpenFile(&form_, QStringLiteral("Open Session"), SuggestedDirectory(),
                                                {QString::fromUtf8(SessionFileFilter),
                                                 QStringLiteral("All Files (*)")});
  if (!path.isEmpty()) OpenSession(path);
}

void SessionKeeper::NewClick() {
  if (!ConfirmLoss(false)) return;
  Apply(DefaultSession(), false);
  Keep(QString());
}

void SessionKeeper::OpenRecent(const RecentFile& file) {
  if (file.kind == RecentFile::Kind::DataFile) {
    form_.LoadDataFileFrom(file.path);
  } else if (ConfirmLoss(false)) {
    OpenSession(file.path);
  }
}

bool SessionKeeper::ConfirmLoss(bool closing) {
  if (line_ != nullptr) line_->ApplyPending();
  if (!IsModified()) return true;
  QString detail;
  if (!sessionFile_.isEmpty()) {
    detail = QStringLiteral("The session \"%1\" has changes that are not saved. Save writes them to it; "
                            "Discard drops them.").arg(QFileInfo(sessionFile_).fileName());
  } else if (closing && remembering_) {
    detail = QStringLiteral("The entries, line settings or pinned runs have changed. Save keeps them for "
                            "the next start; Discard drops the changes.");
  } else {
    detail = QStringLiteral("The entries, line settings or pinned runs have changes that are in no session "
                            "file. Save asks for a file to keep them in; Discard drops them.");
  }
  switch (form_.Dialogs().AskSaveChanges(&form_, detail)) {
    case SaveChangesAnswer::Save:
      if (!sessionFile_.isEmpty()) return SaveSession(sessionFile_);
      if (closing && remembering_) {
        Keep(QString());
        return true;
      }
      SaveAsClick();
      return !IsModified();
    case SaveChangesAnswer::Discard:
      return true;
    case SaveChangesAnswer::Cancel:
      break;
  }
  return false;
}

bool SessionKeeper::CloseWindow() {
  if (!ConfirmLoss(true)) return false;
  if (!remembering_) return true;
  // What was kept, not what was discarded, with the window's place of now.
  Session last = kept_;
  const Session now = Capture(false);
  last.sessionFile = now.sessionFile;
  last.window = now.window;
  const QString path = LastSessionPath();
  try {
    QDir().mkpath(QFileInfo(path).absolutePath());
    WriteSessionFile(PathBytes(path), last);
  } catch (const std::exception& e) {
    ShowError(QStringLiteral("The session could not be kept for the next start:\n\n") + FromUtf8(e.what()));
  }
  return true;
}

std::vector<RecentFile> SessionKeeper::RecentFiles() const {
  QSettings settings(SettingsPath(), QSettings::IniFormat);
  std::vector<RecentFile> files;
  const int count = settings.beginReadArray(QStringLiteral("RecentFiles"));
  for (int i = 0; i < count; ++i) {
    settings.setArrayIndex(i);
    const QString path = settings.value(QStringLiteral("Path")).toString();
    const bool data = settings.value(QStringLiteral("Kind")).toString() == QLatin1String("data");
    if (!path.isEmpty() && QFileInfo(path).isFile()) {
      files.push_back({path, data ? RecentFile::Kind::DataFile : RecentFile::Kind::Session});
    }
  }
  settings.endArray();
  return files;
}

void SessionKeeper::AddRecentFile(const RecentFile& file) {
  const QString path = QFileInfo(file.path).absoluteFilePath();
  std::vector<RecentFile> files{{path, file.kind}};
  for (const RecentFile& old : RecentFiles()) {
    if (old.path != path && files.size() < static_cast<std::size_t>(MaxRecentFiles)) files.push_back(old);
  }
  QSettings settings(SettingsPath(), QSettings::IniFormat);
  settings.beginWriteArray(QStringLiteral("RecentFiles"), static_cast<int>(files.size()));
  for (std::size_t i = 0; i < files.size(); ++i) {
    settings.setArrayIndex(static_cast<int>(i));
    settings.setValue(QStringLiteral("Path"), files[i].path);
    settings.setValue(QStringLiteral("Kind"), files[i].kind == RecentFile::Kind::DataFile
                                                  ? QStringLiteral("data") : QStringLiteral("session"));
  }
  settings.endArray();
}

void SessionKeeper::FillRecentMenu() {
  RecentMenu->clear();
  const std::vector<RecentFile> files = RecentFiles();
  int number = 0;
  for (const RecentFile& file : files) {
    const QString kind = file.kind == RecentFile::Kind::DataFile ? QStringLiteral("data file")
                                                                 : QStringLiteral("session");
    QAction* action = RecentMenu->addAction(QStringLiteral("&%1 %2 (%3)")
                                                .arg(++number)
                                                .arg(QFileInfo(file.path).fileName().replace(
                                                         QLatin1Char('&'), QStringLiteral("&&")),
                                                     kind));
    action->setToolTip(QDir::toNativeSeparators(file.path));
    action->setStatusTip(QDir::toNativeSeparators(file.path));
    connect(action, &QAction::triggered, this, [this, file] { OpenRecent(file); });
  }
  if (files.empty()) RecentMenu->addAction(QStringLiteral("No files yet"))->setEnabled(false);
}

}  // namespace tovimar::ui
