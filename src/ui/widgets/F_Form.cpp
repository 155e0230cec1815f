#include "ui/widgets/F_Form.h"

#include <algorithm>

#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>

#include "ui/widgets/artwork.h"
#include "ui/widgets/bevel_panel.h"
#include "ui/widgets/look.h"
#include "ui/widgets/window_placement.h"

namespace tovimar::ui {
namespace {

constexpr int kClientWidth = 316;
constexpr int kClientHeight = 206;
const QColor kBlue{0x00, 0x00, 0xFF};

// Places a centred text at its layout position, widened evenly on both sides when the
// installed face needs more room than the layout's own face did.
void PlaceText(QLabel* label, int x, int y, int w, int h) {
  const int needed = label->fontMetrics().horizontalAdvance(label->text()) +
                     2 * label->frameWidth() + 4;
  if (needed > w) {
    const int grow = needed - w;
    x = std::max(0, x - (grow + 1) / 2);
    w = std::min(needed, kClientWidth - x);
  }
  label->setGeometry(x, y, w, h);
}

}  // namespace

TFinishForm::TFinishForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint) {
  setObjectName(QStringLiteral("FinishForm"));
  setWindowTitle(QStringLiteral("FinishForm"));
  setWindowIcon(WindowIcon());
  setFont(GothicFont(12));
  setFixedSize(kClientWidth, kClientHeight);
  setModal(true);

  Panel1 = new BevelPanel(BevelPanel::Bevel::Raised, BevelPanel::Bevel::Lowered, this);
  Panel1->setObjectName(QStringLiteral("Panel1"));
  Panel1->setGeometry(0, 0, kClientWidth, kClientHeight);

  Panel2 = new QLabel(QStringLiteral("Calculation is successfully finished !"), Panel1);
  Panel2->setObjectName(QStringLiteral("Panel2"));
  Panel2->setFrameStyle(QFrame::Panel | QFrame::Raised);
  Panel2->setLineWidth(1);
  Panel2->setAlignment(Qt::AlignCenter);
  Panel2->setFont(GothicFont(16));
  SetTextColour(Panel2, kBlue);
  PlaceText(Panel2, 21, 16, 269, 41);

  Label3 = new QLabel(QStringLiteral("Version 1.2"), Panel1);
  Label3->setObjectName(QStringLiteral("Label3"));
  Label3->setAlignment(Qt::AlignCenter);
  Label3->setFont(GothicFont(16));
  SetTextColour(Label3, kBlue);
  PlaceText(Label3, 112, 64, 74, 16);

  Label1 = new QLabel(QStringLiteral("2008.8.8"), Panel1);
  Label1->setObjectName(QStringLiteral("Label1"));
  Label1->setAlignment(Qt::AlignCenter);
  Label1->setFont(GothicFont(15));
  PlaceText(Label1, 122, 123, 54, 15);

  BitBtn1 = new QPushButton(OkGlyph(), QStringLiteral("&OK"), Panel1);  // the stock caption, Alt+O
  BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
  BitBtn1->setFont(GothicFont(16));
  BitBtn1->setGeometry(106, 151, 102, 31);
  BitBtn1->setDefault(true);
  BitBtn1->setAutoDefault(true);
  connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
}

void TFinishForm::showEvent(QShowEvent* event) {
  CentreOnScreen(this);
  QDialog::showEvent(event);
}

}  // namespace tovimar::ui
