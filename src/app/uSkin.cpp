#include "uSkin.h"

#include <QApplication>
#include <QFile>
#include <QPalette>
#include <QStyle>
#include <QStyleFactory>

void ApplySkin(QApplication &app)
{
  // The resources live in a static library: register them explicitly.
  Q_INIT_RESOURCE(resources);
  if (QStyle *fusion = QStyleFactory::create(QStringLiteral("Fusion")))
    app.setStyle(fusion);
  QPalette palette = app.style()->standardPalette();
  palette.setColor(QPalette::Window, QColor(0xE4, 0xEC, 0xF7));
  palette.setColor(QPalette::Button, QColor(0xEE, 0xF3, 0xFA));
  palette.setColor(QPalette::ToolTipBase, QColor(0xFF, 0xFF, 0xE6));
  palette.setColor(QPalette::ToolTipText, QColor(0x20, 0x20, 0x20));
  app.setPalette(palette);

  QFile sheet(QStringLiteral(":/skin.qss"));
  if (sheet.open(QIODevice::ReadOnly))
    app.setStyleSheet(QString::fromUtf8(sheet.readAll()));
}
