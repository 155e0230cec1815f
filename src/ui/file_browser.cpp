#include "ui/file_browser.h"

#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QStorageInfo>
#include <QStyle>
#include <QStyledItemDelegate>

namespace tovimar::ui {
namespace {

constexpr int kPathRole = Qt::UserRole;
constexpr int kDepthRole = Qt::UserRole + 1;
constexpr int kIndentPerLevel = 8;

// Indents each directory by its depth below the root.
class IndentDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    QStyleOptionViewItem indented(option);
    indented.rect.adjust(index.data(kDepthRole).toInt() * kIndentPerLevel, 0, 0, 0);
    QStyledItemDelegate::paint(painter, indented, index);
  }

  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    size.rwidth() += index.data(kDepthRole).toInt() * kIndentPerLevel;
    return size;
  }
};

}  // namespace

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

DirectoryListBox::DirectoryListBox(QWidget* parent) : QListWidget(parent) {
  setSelectionMode(QAbstractItemView::SingleSelection);
  setUniformItemSizes(true);
  setItemDelegate(new IndentDelegate(this));
  connect(this, &QListWidget::itemDoubleClicked, this,
          [this](QListWidgetItem* item) { OpenDirectory(item->data(kPathRole).toString()); });
}

void DirectoryListBox::SetFileList(FileListBox* fileList) {
  fileList_ = fileList;
  if (fileList_ != nullptr) {
    fileList_->SetDirectory(directory_);
  }
}

bool DirectoryListBox::OpenDirectory(const QString& directory) {
  const QString path = QDir(directory).absolutePath();
  if (!QDir::setCurrent(path)) {
    emit openFailed(path);
    return false;
  }
  ShowDirectory(QDir::currentPath());
  return true;
}

void DirectoryListBox::ShowDirectory(const QString& directory) {
  directory_ = QDir(directory).absolutePath();
  Fill();
  if (fileList_ != nullptr) {
    fileList_->SetDirectory(directory_);
  }
  emit directoryChanged(directory_);
}

void DirectoryListBox::Fill() {
  clear();
  const QIcon openIcon = style()->standardIcon(QStyle::SP_DirOpenIcon);
  const QIcon closedIcon = style()->standardIcon(QStyle::SP_DirClosedIcon);

  // The chain from the root down to the current directory.
  QStringList chain;
  for (QDir dir(directory_);; ) {
    chain.prepend(dir.absolutePath());
    if (dir.isRoot() || !dir.cdUp()) {
      break;
    }
  }
  int depth = 0;
  for (const QString& path : chain) {
    const QString name = QDir(path).isRoot() ? QDir::toNativeSeparators(path) : QFileInfo(path).fileName();
    auto* item = new QListWidgetItem(openIcon, name, this);
    item->setData(kPathRole, path);
    item->setData(kDepthRole, depth++);
  }
  setCurrentRow(count() - 1);

  // The subdirectories of the current one.
  const QDir current(directory_);
  const QStringList children =
      current.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
  for (const QString& child : children) {
    auto* item = new QListWidgetItem(closedIcon, child, this);
    item->setData(kPathRole, current.absoluteFilePath(child));
    item->setData(kDepthRole, depth);
  }
}

void DirectoryListBox::keyPressEvent(QKeyEvent* event) {
  if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
      event->modifiers() == Qt::NoModifier && currentItem() != nullptr &&
      currentItem()->data(kPathRole).toString() != directory_) {
    OpenDirectory(currentItem()->data(kPathRole).toString());
    event->accept();
    return;
  }
  QListWidget::keyPressEvent(event);
}

DriveComboBox::DriveComboBox(QWidget* parent) : QComboBox(parent) { Fill(); }

void DriveComboBox::Fill() {
  clear();
  std::map<QString, QString> volumes;  // root path -> caption, sorted by root path
  for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
    // Bind mounts of single files are volumes too; only directories can be browsed.
    if (!volume.isValid() || !volume.isReady() || !QFileInfo(volume.rootPath()).isDir()) {
      continue;
    }
    QString caption = QDir::toNativeSeparators(volume.rootPath());
    const QString name = volume.displayName();
    if (!name.isEmpty() && name != volume.rootPath()) {
      caption += QStringLiteral(" [") + name + QLatin1Char(']');
    }
    volumes.emplace(volume.rootPath(), caption);
  }
  for (const auto& [root, caption] : volumes) {
    addItem(caption, root);
  }
}

void DriveComboBox::SetDirList(DirectoryListBox* dirList) {
  dirList_ = dirList;
  connect(dirList_, &DirectoryListBox::directoryChanged, this,
          [this](const QString& directory) { SelectVolumeOf(directory); });
  connect(this, &QComboBox::activated, this, &DriveComboBox::VolumeChosen);
  SelectVolumeOf(dirList_->Directory());
}

QString DriveComboBox::Drive() const { return currentData().toString(); }

void DriveComboBox::SelectVolumeOf(const QString& directory) {
  const QString root = QStorageInfo(directory).rootPath();
  int index = findData(root);
  if (index < 0) {
    // A volume mounted since start-up.
    Fill();
    index = findData(root);
  }
  if (index >= 0) {
    setCurrentIndex(index);
    lastDirectory_[root] = directory;
  }
}

void DriveComboBox::VolumeChosen(int index) {
  if (dirList_ == nullptr || index < 0) {
    return;
  }
  const QString root = itemData(index).toString();
  const auto last = lastDirectory_.find(root);
  const QString target = last != lastDirectory_.end() && QFileInfo(last->second).isDir()
                             ? last->second
                             : root;
  if (!dirList_->OpenDirectory(target)) {
    // Back to the volume the directory list still shows.
    SelectVolumeOf(dirList_->Directory());
  }
}

}  // namespace tovimar::ui
