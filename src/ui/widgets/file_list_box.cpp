#include "ui/widgets/file_list_box.h"

#include <QDir>

namespace tovimar::ui {

FileListBox::FileListBox(QWidget* parent) : QListWidget(parent) {
  setSelectionMode(QAbstractItemView::SingleSelection);
  setUniformItemSizes(true);
}

void FileListBox::SetDirectory(const QString& directory) {
  directory_ = directory;
  clear();
  const QStringList files =
      QDir(directory).entryList(QDir::Files, QDir::Name | QDir::IgnoreCase);
  addItems(files);
}

}  // namespace tovimar::ui
