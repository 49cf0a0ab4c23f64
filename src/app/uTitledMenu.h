#pragma once

#include <QMenu>

/// A menu with a vertical strip along its left side carrying a title
/// (the main menu shows the program's name there).
class TTitledMenu : public QMenu
{
  Q_OBJECT
public:
  explicit TTitledMenu(const QString &stripTitle, QWidget *parent = nullptr);
  const QString &stripTitle() const { return FStripTitle; }

protected:
  void paintEvent(QPaintEvent *event) override;

private:
  QString FStripTitle;
  static constexpr int StripWidth = 24;
};
