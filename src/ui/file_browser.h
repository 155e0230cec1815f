#pragma once

#include <map>

#include <QComboBox>
#include <QListWidget>
#include <QString>

namespace tovimar::ui {

// The files of one directory, by name; selecting one has no further effect.
class FileListBox : public QListWidget {
 public:
  explicit FileListBox(QWidget* parent = nullptr);

  // Refills the list with the files of `directory`.
  void SetDirectory(const QString& directory);
  [[nodiscard]] QString Directory() const { return directory_; }

 private:
  QString directory_;
};

// The directory list: the chain of directories from the root down to the current one,
// then the current one's subdirectories. Opening an entry (double-click, or Enter) makes
// it the process's current directory, so that a result file named by a bare name lands
// there, and refills the bound file list.
class DirectoryListBox : public QListWidget {
  Q_OBJECT

 public:
  explicit DirectoryListBox(QWidget* parent = nullptr);

  // The file list that shows this list's directory.
  void SetFileList(FileListBox* fileList);

  [[nodiscard]] QString Directory() const { return directory_; }

  // Makes `directory` the process's current directory and shows it. When it cannot be
  // entered nothing changes, openFailed is emitted and false returned.
  bool OpenDirectory(const QString& directory);

  // Shows `directory` without changing the process's current directory (start-up, where
  // the current directory is already the one shown).
  void ShowDirectory(const QString& directory);

 signals:
  void directoryChanged(const QString& directory);
  void openFailed(const QString& directory);

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void Fill();

  QString directory_;
  FileListBox* fileList_ = nullptr;
};

// The drive selector: on this system the mounted volumes. Choosing one moves the directory
// list (and the current directory) to the directory last shown on that volume, or to its
// root.
class DriveComboBox : public QComboBox {
 public:
  explicit DriveComboBox(QWidget* parent = nullptr);

  // Binds the selector to the directory list and selects the volume of its directory.
  void SetDirList(DirectoryListBox* dirList);

  // The root path of the selected volume.
  [[nodiscard]] QString Drive() const;

 private:
  void Fill();
  void SelectVolumeOf(const QString& directory);
  void VolumeChosen(int index);

  DirectoryListBox* dirList_ = nullptr;
  std::map<QString, QString> lastDirectory_;  // root path -> last directory shown there
};

}  // namespace tovimar::ui
