#include "uDialogs.h"

#include "uAppStart.h"

#include <QAction>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontInfo>
#include <QGroupBox>
#include <QMenu>
#include <QPrintDialog>
#include <QPushButton>
#include <QQueue>

namespace {

struct TScript
{
  bool Scripted = false;
  QQueue<QMessageBox::StandardButton> Answers;
  QQueue<QString> FileNames;
  QQueue<bool> PrintAnswers;
  QQueue<std::optional<QFont>> Fonts;
  QQueue<QFont> FontApplies;
  QQueue<QAction *> MenuChoices;
  QList<Dialogs::TShown> Shown;
  std::function<void(const Dialogs::TShown &)> OnShown;
};

TScript &Script()
{
  static TScript script;
  return script;
}

void Record(const QString &kind, const QString &text, Dialogs::Icon icon = Dialogs::Icon::Information,
            QMessageBox::StandardButtons buttons = {}, const QString &fileName = QString())
{
  Script().Shown.append({kind, text, icon, buttons, fileName});
  if (Script().OnShown)
    Script().OnShown(Script().Shown.constLast());
}

QMessageBox::Icon QtIcon(Dialogs::Icon icon)
{
  switch (icon) {
  case Dialogs::Icon::Error:
    return QMessageBox::Critical;
  case Dialogs::Icon::Warning:
    return QMessageBox::Warning;
  case Dialogs::Icon::Confirmation:
    return QMessageBox::Question;
  case Dialogs::Icon::Information:
    break;
  }
  return QMessageBox::Information;
}

/// The answer a box gives when it is closed without pressing a button.
QMessageBox::StandardButton EscapeAnswer(QMessageBox::StandardButtons buttons)
{
  if (buttons & QMessageBox::Cancel)
    return QMessageBox::Cancel;
  if (buttons & QMessageBox::No)
    return QMessageBox::No;
  return QMessageBox::Ok;
}

QStringList Patterns(const QString &filter)
{
  QStringList patterns;
  const QStringList parts = filter.split(QLatin1Char('|'));
  for (int i = 1; i < parts.size(); i += 2)
    patterns += parts.at(i).split(QLatin1Char(';'), Qt::SkipEmptyParts);
  return patterns;
}

bool RunFileDialog(QWidget *parent, TFileDlg &dlg, bool save)
{
  Record(save ? QStringLiteral("save") : QStringLiteral("open"), dlg.Filter, Dialogs::Icon::Information, {},
         dlg.FileName);
  if (Script().Scripted) {
    const QString name = Script().FileNames.isEmpty() ? QString() : Script().FileNames.dequeue();
    if (name.isEmpty())
      return false;
    QString chosen = name;
    if (save && !dlg.DefaultExt.isEmpty() && QFileInfo(chosen).suffix().isEmpty())
      chosen += QLatin1Char('.') + dlg.DefaultExt;
    dlg.FileName = chosen;
    return true;
  }
  QFileDialog fd(parent, dlg.Title);
  fd.setOption(QFileDialog::HideNameFilterDetails, true);
  fd.setOption(QFileDialog::DontConfirmOverwrite, !dlg.ConfirmOverwrite);
  fd.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  fd.setFileMode(save ? QFileDialog::AnyFile : (dlg.MustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile));
  fd.setNameFilter(Dialogs::qtFilter(dlg.Filter));
  if (!dlg.DefaultExt.isEmpty())
    fd.setDefaultSuffix(dlg.DefaultExt);
  if (!dlg.FileName.isEmpty()) {
    const QFileInfo info(dlg.FileName);
    if (info.isAbsolute())
      fd.setDirectory(info.absolutePath());
    fd.selectFile(info.fileName());
  }
  if (fd.exec() != QDialog::Accepted || fd.selectedFiles().isEmpty())
    return false;
  dlg.FileName = fd.selectedFiles().constFirst();
  return true;
}

} // namespace

QString DisplayText(const QString &text)
{
  QString shown = text;
  shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return shown;
}

QMessageBox::StandardButton Dialogs::message(QWidget *parent, const QString &text, Icon icon,
                                             QMessageBox::StandardButtons buttons)
{
  Record(QStringLiteral("message"), text, icon, buttons);
  if (Script().Scripted) {
    if (Script().Answers.isEmpty())
      return EscapeAnswer(buttons);
    const QMessageBox::StandardButton answer = Script().Answers.dequeue();
    return (buttons & answer) ? answer : EscapeAnswer(buttons);
  }
  QMessageBox box(QtIcon(icon), ApplicationTitle(), DisplayText(text), buttons, parent);
  box.setEscapeButton(EscapeAnswer(buttons));
  const int result = box.exec();
  const auto pressed = QMessageBox::StandardButton(result);
  return (buttons & pressed) ? pressed : EscapeAnswer(buttons);
}

void Dialogs::error(QWidget *parent, const QString &text)
{
  message(parent, text, Icon::Error, QMessageBox::Ok);
}

void Dialogs::warning(QWidget *parent, const QString &text)
{
  message(parent, text, Icon::Warning, QMessageBox::Ok);
}

void Dialogs::information(QWidget *parent, const QString &text)
{
  message(parent, text, Icon::Information, QMessageBox::Ok);
}

bool Dialogs::askYesNo(QWidget *parent, const QString &text, Icon icon)
{
  return message(parent, text, icon, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

QMessageBox::StandardButton Dialogs::askYesNoCancel(QWidget *parent, const QString &text)
{
  return message(parent, text, Icon::Confirmation, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
}

bool Dialogs::executeOpen(QWidget *parent, TFileDlg &dlg)
{
  return RunFileDialog(parent, dlg, false);
}

bool Dialogs::executeSave(QWidget *parent, TFileDlg &dlg)
{
  return RunFileDialog(parent, dlg, true);
}

bool Dialogs::executePrint(QWidget *parent, QPrinter *printer)
{
  Record(QStringLiteral("print"), QString());
  if (Script().Scripted)
    return !Script().PrintAnswers.isEmpty() && Script().PrintAnswers.dequeue();
  QPrintDialog dlg(printer, parent);
  return dlg.exec() == QDialog::Accepted;
}

bool Dialogs::executeFont(QWidget *parent, QFont &font, const std::function<void(const QFont &)> &apply)
{
  Record(QStringLiteral("font"), font.family());
  if (Script().Scripted) {
    if (!Script().FontApplies.isEmpty()) {
      const QFont applied = Script().FontApplies.dequeue();
      if (apply)
        apply(applied);
    }
    if (Script().Fonts.isEmpty())
      return false;
    const std::optional<QFont> chosen = Script().Fonts.dequeue();
    if (!chosen)
      return false;
    font = *chosen;
    return true;
  }
  // A face known to the system only by an alias ("Times New Roman" served by
  // a metric-compatible font) is shown as the face that really draws it;
  // otherwise the dialog would select some other face and style.
  QFont shown = font;
  if (!QFontDatabase::families().contains(font.family(), Qt::CaseInsensitive))
    shown.setFamily(QFontInfo(font).family());
  QFontDialog dlg(shown, parent);
  dlg.setOption(QFontDialog::ScalableFonts, true);
  dlg.setOption(QFontDialog::NonScalableFonts, false);
  dlg.setOption(QFontDialog::DontUseNativeDialog, true);
  // Underline, strike-out and colour are not part of a printed font here.
  for (QCheckBox *effect : dlg.findChildren<QCheckBox *>())
    if (auto *group = qobject_cast<QGroupBox *>(effect->parentWidget()))
      group->hide();
  if (apply) {
    // QFontDialog has no Apply button of its own: add one to its button box.
    if (auto *box = dlg.findChild<QDialogButtonBox *>()) {
      QPushButton *applyButton = box->addButton(QDialogButtonBox::Apply);
      QObject::connect(applyButton, &QPushButton::clicked, &dlg, [&dlg, &apply] { apply(dlg.currentFont()); });
    }
  }
  // Room for the sample the effects group left.
  dlg.resize(dlg.sizeHint().width(), dlg.sizeHint().height() + 60);
  if (dlg.exec() != QDialog::Accepted)
    return false;
  font = dlg.selectedFont();
  return true;
}

QAction *Dialogs::popupMenu(QMenu *menu, const QPoint &screenPos)
{
  Record(QStringLiteral("menu"), menu->objectName());
  if (Script().Scripted) {
    QAction *choice = Script().MenuChoices.isEmpty() ? nullptr : Script().MenuChoices.dequeue();
    if (choice)
      choice->trigger();
    return choice;
  }
  return menu->exec(screenPos);
}

QString Dialogs::qtFilter(const QString &filter)
{
  QStringList entries;
  const QStringList parts = filter.split(QLatin1Char('|'));
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    const QStringList patterns = Patterns(parts.at(i) + QLatin1Char('|') + parts.at(i + 1));
    entries += parts.at(i) + QLatin1String(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
  }
  return entries.join(QLatin1String(";;"));
}

void Dialogs::setScripted(bool scripted)
{
  Script().Scripted = scripted;
}

bool Dialogs::isScripted()
{
  return Script().Scripted;
}

void Dialogs::setNextAnswer(QMessageBox::StandardButton answer)
{
  Script().Answers.enqueue(answer);
}

void Dialogs::setNextFileName(const QString &fileName)
{
  Script().FileNames.enqueue(fileName);
}

void Dialogs::setNextPrintAccepted(bool accepted)
{
  Script().PrintAnswers.enqueue(accepted);
}

void Dialogs::setNextFont(const std::optional<QFont> &font)
{
  Script().Fonts.enqueue(font);
}

void Dialogs::setNextFontApply(const QFont &font)
{
  Script().FontApplies.enqueue(font);
}

void Dialogs::setNextMenuChoice(QAction *action)
{
  Script().MenuChoices.enqueue(action);
}

const QList<Dialogs::TShown> &Dialogs::shown()
{
  return Script().Shown;
}

void Dialogs::setOnShown(const std::function<void(const TShown &)> &callback)
{
  Script().OnShown = callback;
}

void Dialogs::clearShown()
{
  Script().Shown.clear();
}

void Dialogs::clearScript()
{
  Script().Answers.clear();
  Script().FileNames.clear();
  Script().PrintAnswers.clear();
  Script().Fonts.clear();
  Script().FontApplies.clear();
  Script().MenuChoices.clear();
}
