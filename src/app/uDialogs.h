#pragma once

#include <QFont>
#include <QList>
#include <QMessageBox>
#include <QString>

#include <functional>
#include <optional>

class QMenu;
class QAction;
class QPrinter;
class QWidget;

/// The state of one of the program's shared file dialogs: what it offers,
/// and the name it holds (which it proposes the next time it is shown).
struct TFileDlg
{
  QString Title;
  /// Filter in the "Description|*.a;*.b|Description|*.c" form.
  QString Filter;
  QString FileName;
  QString DefaultExt;
  bool MustExist = false;        ///< open: only an existing file can be chosen
  bool ConfirmOverwrite = false; ///< save: ask before replacing a file
};

/**
 * Every message box, question and file, print and font dialog of the program
 * goes through here.
 *
 * In scripted mode (tests) nothing is shown: each call takes the next
 * scripted answer, or a cancelling default when none is queued, and records
 * what would have been shown.
 */
class Dialogs
{
public:
  enum class Icon { Error, Warning, Confirmation, Information };

  /// One dialog that was (or in scripted mode would have been) shown.
  struct TShown
  {
    QString Kind; ///< "message", "open", "save", "print", "font", "menu"
    QString Text; ///< message text, or the file dialog's filter
    Icon MessageIcon = Icon::Information;
    QMessageBox::StandardButtons Buttons;
    /// The name a file dialog proposed when it opened.
    QString FileName;
  };

  /// A message box; returns the button pressed (Cancel/No when closed otherwise).
  static QMessageBox::StandardButton message(QWidget *parent, const QString &text, Icon icon,
                                             QMessageBox::StandardButtons buttons = QMessageBox::Ok);
  static void error(QWidget *parent, const QString &text);
  static void warning(QWidget *parent, const QString &text);
  static void information(QWidget *parent, const QString &text);
  /// A question with Yes and No: true only for Yes.
  static bool askYesNo(QWidget *parent, const QString &text, Icon icon = Icon::Confirmation);
  /// A question with Yes, No and Cancel.
  static QMessageBox::StandardButton askYesNoCancel(QWidget *parent, const QString &text);

  /// Runs an open dialog; on confirmation dlg.FileName holds the choice.
  static bool executeOpen(QWidget *parent, TFileDlg &dlg);
  /// Runs a save dialog; the default extension is added to a bare name.
  static bool executeSave(QWidget *parent, TFileDlg &dlg);
  /// The standard print dialog for `printer`.
  static bool executePrint(QWidget *parent, QPrinter *printer);
  /// The standard font dialog; `apply` is offered as its Apply button.
  static bool executeFont(QWidget *parent, QFont &font, const std::function<void(const QFont &)> &apply = {});
  /// Pops a menu up at a screen point and waits until it closes.
  static QAction *popupMenu(QMenu *menu, const QPoint &screenPos);

  /// Converts a "Desc|*.a;*.b|..." filter into Qt's "Desc (*.a *.b);;..." form.
  static QString qtFilter(const QString &filter);

  // Scripting for tests.
  static void setScripted(bool scripted);
  static bool isScripted();
  static void setNextAnswer(QMessageBox::StandardButton answer);
  /// The next file dialog confirms this name; an empty name cancels it.
  static void setNextFileName(const QString &fileName);
  static void setNextPrintAccepted(bool accepted);
  /// The next font dialog confirms this font; nullopt cancels it.
  static void setNextFont(const std::optional<QFont> &font);
  /// The next font dialog first presses Apply with this font.
  static void setNextFontApply(const QFont &font);
  /// The next popped-up menu triggers this action (nullptr: dismissed).
  static void setNextMenuChoice(QAction *action);
  static const QList<TShown> &shown();
  /// Called as each dialog is (or would be) shown, before its answer.
  static void setOnShown(const std::function<void(const TShown &)> &callback);
  static void clearShown();
  /// Drops any scripted answers not used yet.
  static void clearScript();
};

/// Makes message texts written with "\r" line breaks display as lines.
QString DisplayText(const QString &text);
