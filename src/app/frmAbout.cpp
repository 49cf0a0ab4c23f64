#include "frmAbout.h"

#include "web/CommonNetUtils.h"

#include <QFont>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QUrl>
#include <QVBoxLayout>

namespace {

const QString ProductTitle = QStringLiteral("Орнавел 2013");

/// The program's picture: a supplement sheet with its lines and a seal.
QPixmap ProgramPicture(int size)
{
  QPixmap pm(size, size);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(size / 48.0, size / 48.0);
  p.setPen(QPen(QColor(0x15, 0x42, 0x8B), 1.5));
  p.setBrush(QColor(0xFF, 0xFB, 0xEC));
  p.drawRoundedRect(QRectF(8, 3, 32, 42), 2, 2);
  p.setPen(QPen(QColor(0x90, 0xA0, 0xC0), 1.5));
  for (qreal y = 10; y < 30; y += 5)
    p.drawLine(QPointF(13, y), QPointF(35, y));
  p.setPen(QPen(QColor(0xB0, 0x20, 0x20), 1.5));
  p.setBrush(QColor(0xF4, 0xD2, 0x5A));
  p.drawEllipse(QPointF(30, 36), 7, 7);
  return pm;
}

QLabel *MakeLabel(const QString &name, const QString &text, QWidget *parent)
{
  auto *label = new QLabel(text, parent);
  label->setObjectName(name);
  label->setAlignment(Qt::AlignCenter);
  return label;
}

/// A new message to `email` with the program's name as its subject.
QString SupportMailAddress(const QString &email)
{
  return QStringLiteral("mailto:") + email + QStringLiteral("?subject=") +
         QString::fromLatin1(QUrl::toPercentEncoding(ProductTitle));
}

} // namespace

TWebLabel::TWebLabel(QWidget *parent) : QLabel(parent)
{
  setAlignment(Qt::AlignCenter);
  setCursor(Qt::PointingHandCursor);
  QFont f = font();
  f.setUnderline(true);
  setFont(f);
  QPalette pal = palette();
  pal.setColor(QPalette::WindowText, QColor(0x00, 0x33, 0xCC));
  setPalette(pal);
}

void TWebLabel::mousePressEvent(QMouseEvent *event)
{
  if (event->button() == Qt::LeftButton && !URL.isEmpty()) {
    OpenUrl(URL);
    event->accept();
    return;
  }
  QLabel::mousePressEvent(event);
}

TAboutBox::TAboutBox(QWidget *parent) : QDialog(parent)
{
  setObjectName(QStringLiteral("AboutBox"));
  setWindowTitle(QStringLiteral("About"));

  auto *column = new QVBoxLayout(this);
  column->setContentsMargins(16, 14, 16, 12);
  column->setSpacing(6);

  ProgramIcon = MakeLabel(QStringLiteral("ProgramIcon"), QString(), this);
  ProgramIcon->setPixmap(ProgramPicture(48));
  column->addWidget(ProgramIcon);

  ProductName = MakeLabel(QStringLiteral("ProductName"), ProductTitle, this);
  QFont big = ProductName->font();
  big.setBold(true);
  big.setPointSizeF(big.pointSizeF() * 1.8);
  ProductName->setFont(big);
  column->addWidget(ProductName);

  lblVersion = MakeLabel(QStringLiteral("lblVersion"), QString(), this);
  column->addWidget(lblVersion);

  Comments = MakeLabel(
      QStringLiteral("Comments"),
      QStringLiteral("Швидке заповнення українських додатків до атестатів (11 кл.) та свідоцтв (9 кл.)"), this);
  Comments->setWordWrap(true);
  Comments->setFixedWidth(300);
  column->addSpacing(4);
  column->addWidget(Comments, 0, Qt::AlignHCenter);
  column->addSpacing(4);

  const QString site = ProductSiteUrl();
  sWebLabel1 = new TWebLabel(this);
  sWebLabel1->setObjectName(QStringLiteral("sWebLabel1"));
  sWebLabel1->setText(site);
  sWebLabel1->URL = site;
  sWebLabel1->setToolTip(QStringLiteral("Сайт програми<br>") + site);
  column->addWidget(sWebLabel1);

  const QString email = SupportEmail();
  sWebLabel2 = new TWebLabel(this);
  sWebLabel2->setObjectName(QStringLiteral("sWebLabel2"));
  sWebLabel2->setText(email);
  sWebLabel2->URL = SupportMailAddress(email);
  sWebLabel2->setToolTip(QStringLiteral("Технічна підтримка<br>mailto:") + email);
  column->addWidget(sWebLabel2);

  column->addSpacing(6);
  OKButton = new QPushButton(QStringLiteral("OK"), this);
  OKButton->setObjectName(QStringLiteral("OKButton"));
  OKButton->setDefault(true);
  OKButton->setAutoDefault(true);
  connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
  column->addWidget(OKButton, 0, Qt::AlignHCenter);

  // The box keeps the size its contents need; the user cannot resize it.
  column->setSizeConstraint(QLayout::SetFixedSize);
  FormCreate();
}

void TAboutBox::FormCreate()
{
  lblVersion->setText(QStringLiteral("Версія 2.2.2"));
}

void TAboutBox::showEvent(QShowEvent *event)
{
  QDialog::showEvent(event);
  if (const QScreen *screen = this->screen()) {
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
  }
}
