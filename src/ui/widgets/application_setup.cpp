#include "ui/widgets/application_setup.h"

#include <QApplication>
#include <QStyle>
#include <QStyleFactory>

#include "ui/widgets/artwork.h"

namespace tovimar::ui {

void ConfigureApplication() {
  QApplication::setApplicationName(QStringLiteral("Tovimar"));
  QApplication::setApplicationVersion(QStringLiteral(TOVIMAR_VERSION));
  QApplication::setDesktopFileName(QStringLiteral("tovimar"));
  // The window is laid out to the pixel; one style keeps it the same on every desktop.
  if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion"))) {
    QApplication::setStyle(fusion);
  }
  QApplication::setWindowIcon(WindowIcon());
}

}  // namespace tovimar::ui
