#include "ui/look.h"

#include <QCoreApplication>
#include <QFontDatabase>
#include <QPalette>
#include <QProxyStyle>
#include <QStringList>
#include <QStyleOptionTab>
#include <QTabBar>
#include <QWidget>

namespace tovimar::ui {

QString GothicFamily() {
  static const QString family = [] {
    // The first face is the layout's own (its localised and its English family name);
    // the others are Japanese Gothic faces that Debian packages.
    const QStringList wanted{QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"),
                             QStringLiteral("IPAPGothic"),     QStringLiteral("IPAGothic"),
                             QStringLiteral("Noto Sans CJK JP"), QStringLiteral("Noto Sans JP")};
    const QStringList installed = QFontDatabase::families();
    for (const QString& name : wanted) {
      if (installed.contains(name, Qt::CaseInsensitive)) {
        return name;
      }
    }
    return QString();
  }();
  return family;
}

QFont GothicFont(int pixelSize) {
  QFont font;
  const QString family = GothicFamily();
  if (!family.isEmpty()) {
    font.setFamilies({family});
  }
  font.setPixelSize(pixelSize);
  font.setBold(false);
  font.setItalic(false);
  return font;
}

QFont TabFont() {
  QFont font;
  // Fontconfig substitutes a metric-compatible or default sans face when Arial is absent.
  font.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans"),
                    QStringLiteral("Arimo")});
  font.setPixelSize(12);
  return font;
}

void SetTextColour(QWidget* widget, const QColor& colour) {
  QPalette palette = widget->palette();
  palette.setColor(QPalette::WindowText, colour);
  widget->setPalette(palette);
}

QString FromUtf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString ToolTipText(std::string_view text) {
  return QStringLiteral("<p>") + FromUtf8(text).toHtmlEscaped() + QStringLiteral("</p>");
}

namespace {

// The application's style with less space beside each tab caption and tabs of one fixed
// height (horizontal tabs; the notebook's are on top).
class CompactTabStyle : public QProxyStyle {
 public:
  explicit CompactTabStyle(int tabHeight) : tabHeight_(tabHeight) {}

  int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override {
    const int value = QProxyStyle::pixelMetric(metric, option, widget);
    return metric == PM_TabBarTabHSpace ? value / 2 : value;
  }

  QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& contents,
                         const QWidget* widget) const override {
    QSize size = QProxyStyle::sizeFromContents(type, option, contents, widget);
    const auto* tab = qstyleoption_cast<const QStyleOptionTab*>(option);
    if (type == CT_TabBarTab && tab != nullptr && IsHorizontal(tab->shape)) {
      size.setHeight(tabHeight_);
    }
    return size;
  }

 private:
  static bool IsHorizontal(QTabBar::Shape shape) {
    switch (shape) {
      case QTabBar::RoundedNorth:
      case QTabBar::RoundedSouth:
      case QTabBar::TriangularNorth:
      case QTabBar::TriangularSouth:
        return true;
      default:
        return false;
    }
  }

  int tabHeight_;
};

}  // namespace

void UseCompactTabs(QTabBar* bar, int tabHeight) {
  // A widget does not own its style: the application keeps this one until it ends.
  auto* style = new CompactTabStyle(tabHeight);
  style->setParent(QCoreApplication::instance());
  bar->setStyle(style);
}

}  // namespace tovimar::ui
