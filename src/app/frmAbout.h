#pragma once

#include <QDialog>
#include <QLabel>

class QPushButton;

/// A label showing an address as a link: a press of the left mouse button
/// opens `URL` with its default program.
class TWebLabel : public QLabel
{
  Q_OBJECT
public:
  explicit TWebLabel(QWidget *parent = nullptr);

  QString URL;

protected:
  void mousePressEvent(QMouseEvent *event) override;
};

/**
 * The about box: the program's name and version, what it does, the product
 * web site and the support e-mail. Made once at start-up and shown modally
 * whenever asked; fixed size, centred on the screen.
 */
class TAboutBox : public QDialog
{
  Q_OBJECT
public:
  explicit TAboutBox(QWidget *parent = nullptr);

  QLabel *ProgramIcon = nullptr;
  QLabel *ProductName = nullptr;
  QLabel *lblVersion = nullptr;
  QLabel *Comments = nullptr;
  TWebLabel *sWebLabel1 = nullptr;
  TWebLabel *sWebLabel2 = nullptr;
  QPushButton *OKButton = nullptr;

  /// Shows the program's version.
  void FormCreate();

protected:
  void showEvent(QShowEvent *event) override;
};
