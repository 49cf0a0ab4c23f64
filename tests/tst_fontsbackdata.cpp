// The font menu and dialog, and the back side's data files (.bdf).

#include "app/frmMain.h"
#include "app/uPreviewImage.h"
#include "app/uSkin.h"
#include "render/uCompose.h"
#include "store/uAppPaths.h"
#include "store/uSettings.h"
#include "web/CommonNetUtils.h"

#include "TestFiles.h"
#include "TestSupport.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {

QFont Chosen(const QString &family, int points, bool bold, bool italic)
{
  QFont font(family);
  font.setPointSize(points);
  font.setBold(bold);
  font.setItalic(italic);
  return font;
}

} // namespace

class TestFontsBackData : public QObject
{
  Q_OBJECT

private:
  std::unique_ptr<QTemporaryDir> FFolder;
  std::unique_ptr<TMainF> FMain;

  TMainF &Main() { return *FMain; }
  QString Path(const QString &name) const { return FFolder->filePath(name); }

private slots:
  void initTestCase() { PrepareWindowTests(); }

  void init()
  {
    FFolder = std::make_unique<QTemporaryDir>();
    ResetWindowTest(*FFolder);
    FMain = std::make_unique<TMainF>();
    FMain->resize(1200, 800);
    FMain->show();
    QVERIFY(QTest::qWaitForWindowExposed(FMain.get()));
  }

  void cleanup()
  {
    FMain.reset();
    SetProgramFolderOverride(QString());
  }

  void fontsMenu()
  {
    QStringList items;
    QList<int> tags;
    for (QAction *item : Main().FontsMenu->actions()) {
      items << (item->isSeparator() ? QStringLiteral("-") : item->text());
      tags << item->data().toInt();
    }
    QCOMPARE(
        items,
        (QStringList{QStringLiteral("Серія та номер документа..."), QStringLiteral("Прізвище, ім'я та по батькові..."),
                     QStringLiteral("Назва навчального закладу..."), QStringLiteral("Предмети та оцінки..."),
                     QStringLiteral("-"), QStringLiteral("Задня сторінка..."), QStringLiteral("-"),
                     QStringLiteral("Повернути всі шрифти за замовчуванням")}));
    QCOMPARE(tags, (QList<int>{1, 2, 3, 4, 0, 5, 0, -1}));
    Main().acFonts->trigger();
    QCOMPARE(Dialogs::shown().last().Kind, QStringLiteral("menu"));
    QCOMPARE(Dialogs::shown().last().Text, QStringLiteral("FontsMenu"));
  }

  void okAppliesAndSaves()
  {
    Dialogs::setNextFont(Chosen(QStringLiteral("Liberation Sans"), 15, false, true));
    Main().FontsMenu->actions().at(1)->trigger(); // the name lines
    QCOMPARE(Main().Fonts.FIO.family(), QStringLiteral("Liberation Sans"));
    QCOMPARE(Main().Fonts.FIO.pointSize(), 15);
    QVERIFY(!Main().Fonts.FIO.bold());
    const TSettings saved = ReadSettingsFile();
    QCOMPARE(saved.Fonts.FIO.family(), QStringLiteral("Liberation Sans"));
    QCOMPARE(saved.Fonts.FIO.pointSize(), 15);
    QVERIFY(saved.Fonts.FIO.italic());
  }

  void applyThenCancelKeepsTheAppliedFont()
  {
    Main().acSideSwitch->trigger();
    Main().mmFacults->setPlainText(QStringLiteral("Хореографія"));
    Main().RedrawContent(dtScreen);
    const QImage before = Main().ImgPreview->picture();
    Dialogs::setNextFontApply(Chosen(QStringLiteral("Liberation Serif"), 20, true, false));
    Dialogs::setNextFont(std::nullopt); // Cancel
    Main().EditFont(fkBackSide);
    QCOMPARE(Main().Fonts.BackSide.pointSize(), 20);
    QVERIFY(!Main().Fonts.BackSide.italic());
    QVERIFY(Main().ImgPreview->picture() != before);
    QCOMPARE(ReadSettingsFile().Fonts.BackSide.pointSize(), 20);
  }

  void resetAllFonts_data()
  {
    QTest::addColumn<int>("answer");
    QTest::addColumn<int>("schoolSize");
    QTest::newRow("yes") << int(QMessageBox::Yes) << 12;
    QTest::newRow("no") << int(QMessageBox::No) << 17;
  }

  void resetAllFonts()
  {
    QFETCH(int, answer);
    QFETCH(int, schoolSize);
    Main().Fonts.School.setPointSize(17);
    Main().Fonts.SeriaNumb.setBold(false);
    QVERIFY(!QFile::exists(SettingsFileName()));
    Dialogs::setNextAnswer(QMessageBox::StandardButton(answer));
    Main().mDefaultFonts->trigger();
    QCOMPARE(Dialogs::shown().last().Text,
             QStringLiteral("Ви дійсно бажаєте повернути всі шрифти до налаштувань за замовчуванням?"));
    QCOMPARE(Main().Fonts.School.pointSize(), schoolSize);
    QCOMPARE(Main().Fonts.SeriaNumb.bold(), answer == QMessageBox::Yes);
    // Saved whatever the answer.
    QVERIFY(QFile::exists(SettingsFileName()));
    QCOMPARE(ReadSettingsFile().Fonts.School.pointSize(), schoolSize);
  }

  void unknownKindDoesNothing()
  {
    Main().EditFont(0);
    Main().EditFont(7);
    Main().ApplyFont(9);
    QVERIFY(Dialogs::shown().isEmpty());
    QVERIFY(!QFile::exists(SettingsFileName()));
  }

  void backDataActionsOnlyOnTheBackSide()
  {
    WaitIdle();
    QVERIFY(!Main().acOpenBackData->isEnabled());
    QVERIFY(!Main().acSaveBackData->isEnabled());
  }

  void sevenLinesSavedFiveRead()
  {
    Main().acSideSwitch->trigger();
    WaitIdle();
    Main().mmFacults->setPlainText(QStringLiteral("1\n2\n3\n4\n5\n6\n7"));
    Main().edGet->setText(QStringLiteral("свідоцтво з відзнакою"));
    Main().edDirector->setText(QStringLiteral("Іваненко І. І."));
    Dialogs::setNextFileName(Path(QStringLiteral("клас")));
    Main().acSaveBackData->trigger();
    const QString file = Path(QStringLiteral("клас.bdf"));
    QVERIFY(QFile::exists(file));
    const QByteArray bytes = ReadBytes(file);
    QVERIFY(bytes.startsWith("[mmFacults]\r\nLine1=1\r\n"));
    QVERIFY(bytes.contains("Line7=7\r\n[Fields]\r\nedGet="));
    QVERIFY(bytes.contains("\r\nedMedal=\r\n"));
    // Windows-1251: "і" is 0xB3.
    QVERIFY(bytes.contains("edDirector=\xb2\xe2\xe0\xed\xe5\xed\xea\xee \xb2. \xb2.\r\n"));

    Main().mmFacults->clear();
    Main().edGet->clear();
    Dialogs::setNextFileName(file);
    Main().acOpenBackData->trigger();
    QCOMPARE(MemoLines(Main().mmFacults->toPlainText()),
             (QStringList{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4"),
                          QStringLiteral("5")}));
    QCOMPARE(Main().edGet->text(), QStringLiteral("свідоцтво з відзнакою"));
  }

  void emptyMemoAndMissingFields()
  {
    Main().acSideSwitch->trigger();
    WaitIdle();
    Dialogs::setNextFileName(Path(QStringLiteral("empty.bdf")));
    Main().acSaveBackData->trigger();
    QVERIFY(ReadBytes(Path(QStringLiteral("empty.bdf"))).startsWith("[Fields]\r\n"));
    Main().mmFacults->setPlainText(QStringLiteral("old"));
    Dialogs::setNextFileName(Path(QStringLiteral("empty.bdf")));
    Main().acOpenBackData->trigger();
    QCOMPARE(MemoLines(Main().mmFacults->toPlainText()), QStringList(5, QString()));

    // A file without the Fields section empties every field, the medal too.
    WriteBytes(Path(QStringLiteral("nofields.bdf")), "[mmFacults]\r\nLine1=a\r\n");
    for (QLineEdit *field : {Main().edGet, Main().edMedal, Main().edAward, Main().edDirector, Main().edRegNum})
      field->setText(QStringLiteral("x"));
    Dialogs::setNextFileName(Path(QStringLiteral("nofields.bdf")));
    Main().acOpenBackData->trigger();
    for (QLineEdit *field : {Main().edGet, Main().edMedal, Main().edAward, Main().edDirector, Main().edRegNum})
      QVERIFY2(field->text().isEmpty(), qPrintable(field->objectName()));
    QCOMPARE(MemoLines(Main().mmFacults->toPlainText()).first(), QStringLiteral("a"));
  }

  void savingFewerLinesKeepsTheOldOnes()
  {
    Main().acSideSwitch->trigger();
    WaitIdle();
    const QString file = Path(QStringLiteral("k.bdf"));
    Main().mmFacults->setPlainText(QStringLiteral("1\n2\n3\n4\n5"));
    Dialogs::setNextFileName(file);
    Main().acSaveBackData->trigger();
    Main().mmFacults->setPlainText(QStringLiteral("a\nb\nc"));
    Dialogs::setNextFileName(file);
    Main().acSaveBackData->trigger();
    Dialogs::setNextFileName(file);
    Main().acOpenBackData->trigger();
    QCOMPARE(MemoLines(Main().mmFacults->toPlainText()),
             (QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("4"),
                          QStringLiteral("5")}));
  }

  void cancelledDialogsChangeNothing()
  {
    Main().acSideSwitch->trigger();
    WaitIdle();
    Main().mmFacults->setPlainText(QStringLiteral("keep"));
    Dialogs::setNextFileName(QString());
    Main().acOpenBackData->trigger();
    QCOMPARE(Main().mmFacults->toPlainText(), QStringLiteral("keep"));
    Dialogs::setNextFileName(QString());
    Main().acSaveBackData->trigger();
    QCOMPARE(QDir(FFolder->path()).entryList(QStringList{QStringLiteral("*.bdf")}), QStringList());
    QCOMPARE(CountShown(QStringLiteral("message")), 0);
  }
};

QTEST_MAIN(TestFontsBackData)
#include "tst_fontsbackdata.moc"
