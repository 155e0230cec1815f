#pragma once

#include <memory>
#include <vector>

#include <QObject>
#include <QString>

#include "conditionfile/session_file.h"

class QAction;
class QMenu;
class QToolButton;

namespace tovimar::ui {

class LineFileDialogs;
class LinePage;
class ProfilePage;
class TForm1;

// A file the session menu lists under "Recent Files".
struct RecentFile {
  enum class Kind { Session, DataFile };
  QString path;
  Kind kind = Kind::Session;
};

// Keeps the window's work (conditionfile/session_file.h): the session of the last start
// (entries, line settings with the Optimise and Fit set-ups, pinned runs, the window's place)
// is restored at the next start, named sessions are saved and opened, the files used last
// are listed, and the title names the session's file. Before changes that are in no file
// would be lost (closing the window, opening another session, a new one) it asks "Save
// changes?". Its menu hangs from a button in the notebook's top right corner, beside the
// tabs, so that no control of the pages moves.
class SessionKeeper : public QObject {
  Q_OBJECT

 public:
  SessionKeeper(TForm1& form, ProfilePage* profile, LinePage* line);
  ~SessionKeeper() override;

  // Makes the keeper of the form (a child of it) with its button in the notebook's corner,
  // and has it guard the form's closing.
  static SessionKeeper* AttachTo(TForm1& form, ProfilePage* profile, LinePage* line);

  // Where the program keeps the session of its last start (the user's data directory) and
  // its list of recent files (the user's configuration directory).
  [[nodiscard]] static QString LastSessionPath();
  [[nodiscard]] static QString SettingsPath();

  // At start-up: shows the session of the last start and from then on writes the window's
  // session there whenever the window closes. A session that cannot be read is named in an
  // error box and set aside (its name gets ".unreadable"); the window then keeps the
  // defaults. False when there was one that could not be read.
  bool RestoreLastSession();

  // The window's session as it stands (without its place and file names when `contentOnly`).
  [[nodiscard]] Session Capture(bool contentOnly = false) const;
  // Shows a session's entries, line settings and pinned runs (each made again in memory);
  // with `restoring`, also its data file, file name and the window's place.
  void Apply(const Session& session, bool restoring);
  // Whether the entries, line settings or pinned runs differ from the session last kept.
  [[nodiscard]] bool IsModified() const;
  // The named session the window shows; empty when none.
  [[nodiscard]] const QString& SessionFile() const { return sessionFile_; }

  // Without a dialog: each returns false after showing why it failed in the form's error box;
  // a session that cannot be opened leaves the window as it was.
  bool SaveSession(const QString& path);
  bool OpenSession(const QString& path);

  // The menu's commands.
  void SaveClick();    // into the named session; without one as SaveAsClick
  void SaveAsClick();  // "Save Session...": asks the file
  void OpenClick();    // "Open Session...": asks "Save changes?" if need be, then the file
  void NewClick();     // the defaults, after "Save changes?" if need be
  void OpenRecent(const RecentFile& file);

  // Asks "Save changes?" when the window holds changes that are in no file; true when the
  // work may go (saved, or discarded), false when the user cancelled or saving failed.
  // `closing`: the window closes, so that unnamed changes are kept for the next start.
  bool ConfirmLoss(bool closing);

  // The files used last, newest first, without those no longer there.
  [[nodiscard]] std::vector<RecentFile> RecentFiles() const;
  void AddRecentFile(const RecentFile& file);

  // The file dialogs of the menu's commands (tests substitute one that answers).
  void SetFileDialogs(std::unique_ptr<LineFileDialogs> dialogs);

  QToolButton* Button = nullptr;
  QMenu* Menu = nullptr;
  QMenu* RecentMenu = nullptr;
  QAction* SaveAction = nullptr;
  QAction* SaveAsAction = nullptr;
  QAction* OpenAction = nullptr;
  QAction* NewAction = nullptr;

 private:
  bool CloseWindow();  // the form's close guard
  void Keep(const QString& sessionFile);  // the window's content as the session last kept
  void ShowTitle();
  void FillRecentMenu();
  void ShowError(const QString& text) const;
  [[nodiscard]] QString SuggestedDirectory() const;

  TForm1& form_;
  ProfilePage* profile_;
  LinePage* line_;
  std::unique_ptr<LineFileDialogs> dialogs_;
  QString sessionFile_;
  Session kept_;             // the content last opened, saved or restored
  std::string keptText_;     // FormatSession(kept_)
  bool remembering_ = false;  // the session is written at every close
};

// The name filter of the session dialogs and the most files "Recent Files" lists.
inline constexpr const char* SessionFileFilter = "Session Files (*.json)";
inline constexpr int MaxRecentFiles = 8;

}  // namespace tovimar::ui
