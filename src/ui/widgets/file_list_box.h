#pragma once

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

}  // namespace tovimar::ui
