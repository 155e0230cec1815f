#pragma once

#include <QListWidget>
#include <QString>

namespace tovimar::ui {

class FileListBox;

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

}  // namespace tovimar::ui
