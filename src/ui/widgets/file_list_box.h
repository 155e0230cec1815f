#pragma once

#include <QFileSystemWatcher>
#include <QListWidget>
#include <QString>

namespace tovimar::ui {

// The files of one directory, by name; selecting one has no further effect. The list follows
// the directory: a file written, renamed or removed there (a run's result file) shows at once.
class FileListBox : public QListWidget {
 public:
  explicit FileListBox(QWidget* parent = nullptr);

  // Shows the files of `directory` and follows it from then on.
  void SetDirectory(const QString& directory);
  [[nodiscard]] QString Directory() const { return directory_; }

 private:
  void Fill();  // the directory's files afresh, the selected one staying selected

  QString directory_;
  QFileSystemWatcher* watcher_ = nullptr;
};

}  // namespace tovimar::ui
