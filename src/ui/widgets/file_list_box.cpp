#include "ui/widgets/file_list_box.h"

#include <QDir>
#include <QScrollBar>

namespace tovimar::ui {

FileListBox::FileListBox(QWidget* parent) : QListWidget(parent), watcher_(new QFileSystemWatcher(this)) {
  setSelectionMode(QAbstractItemView::SingleSelection);
  setUniformItemSizes(true);
  connect(watcher_, &QFileSystemWatcher::directoryChanged, this, &FileListBox::Fill);
}

void FileListBox::SetDirectory(const QString& directory) {
  if (!watcher_->directories().isEmpty()) {
    watcher_->removePaths(watcher_->directories());
  }
  directory_ = directory;
  if (!directory_.isEmpty()) {
    watcher_->addPath(directory_);  // a directory that cannot be watched is still shown
  }
  Fill();
}

void FileListBox::Fill() {
  const QString selected = currentItem() != nullptr ? currentItem()->text() : QString();
  const int scrolled = verticalScrollBar()->value();
  clear();
  const QStringList files = QDir(directory_).entryList(QDir::Files, QDir::Name | QDir::IgnoreCase);
  addItems(files);
  if (const qsizetype row = files.indexOf(selected); !selected.isEmpty() && row >= 0) {
    setCurrentRow(static_cast<int>(row));
  }
  verticalScrollBar()->setValue(scrolled);
}

}  // namespace tovimar::ui
