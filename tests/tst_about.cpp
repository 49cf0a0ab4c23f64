// The about box: its texts, the two links and what they open, OK, and a
// fixed box that shows all of its contents in the middle of the screen.

#include "app/frmAbout.h"
#include "web/CommonNetUtils.h"

#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QWidget>

#include <memory>

namespace {
const QString Site = QStringLiteral("https://site.test.example.org/ornavel/");
const QString Email = QStringLiteral("help@test.example.org");
} // namespace

class TestAbout : public QObject
{
  Q_OBJECT

  std::unique_ptr<TAboutBox> FBox;
  std::unique_ptr<QWidget> FOwner;
  QStringList FOpened;

private slots:
  void initTestCase()
  {
    SetOpenUrlHandler([this](const QString &address) {
      FOpened << address;
      return true;
    });
    SetProductSiteUrl(Site);
    SetSupportEmail(Email);
  }

  void cleanupTestCase()
  {
    SetOpenUrlHandler({});
    SetProductSiteUrl(QString());
    SetSupportEmail(QString());
  }

  void init()
  {
    FOpened.clear();
    FBox = std::make_unique<TAboutBox>();
  }

  void cleanup()
  {
    FBox.reset();
    FOwner.reset();
  }

  void texts_data()
  {
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("hint");
    QTest::newRow("ProductName") << "ProductName"
                                 << "Орнавел 2013"
                                 << "";
    QTest::newRow("lblVersion") << "lblVersion"
                                << "Версія 2.2.2"
                                << "";
    QTest::newRow("Comments") << "Comments"
                              << "Швидке заповнення українських додатків до атестатів (11 кл.) та свідоцтв (9 кл.)"
                              << "";
    QTest::newRow("sWebLabel1") << "sWebLabel1" << Site << "Сайт програми<br>" + Site;
    QTest::newRow("sWebLabel2") << "sWebLabel2" << Email << "Технічна підтримка<br>mailto:" + Email;
  }

  void texts()
  {
    QFETCH(QString, label);
    QFETCH(QString, text);
    QFETCH(QString, hint);
    const auto *widget = FBox->findChild<QLabel *>(label);
    QVERIFY(widget);
    QCOMPARE(widget->text(), text);
    QCOMPARE(widget->toolTip(), hint);
    QVERIFY(widget->alignment() & Qt::AlignHCenter);
  }

  void appearance()
  {
    QCOMPARE(FBox->windowTitle(), QStringLiteral("About"));
    QVERIFY(FBox->ProductName->font().bold());
    QVERIFY(FBox->ProductName->font().pointSizeF() > FBox->lblVersion->font().pointSizeF());
    QVERIFY(FBox->Comments->wordWrap());
    QVERIFY(!FBox->ProgramIcon->pixmap().isNull());
    QCOMPARE(FBox->OKButton->text(), QStringLiteral("OK"));
    QVERIFY(FBox->OKButton->isDefault());
  }

  void linksOpenOnLeftPress_data()
  {
    QTest::addColumn<QString>("label");
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<QStringList>("opened");
    QTest::newRow("site, left") << "sWebLabel1" << Qt::LeftButton << QStringList{Site};
    // The subject "Орнавел 2013" in UTF-8, percent-encoded.
    QTest::newRow("e-mail, left") << "sWebLabel2" << Qt::LeftButton
                                  << QStringList{"mailto:" + Email +
                                                 "?subject=%D0%9E%D1%80%D0%BD%D0%B0%D0%B2%D0%B5%D0%BB%202013"};
    QTest::newRow("site, right") << "sWebLabel1" << Qt::RightButton << QStringList();
    QTest::newRow("e-mail, middle") << "sWebLabel2" << Qt::MiddleButton << QStringList();
  }

  void linksOpenOnLeftPress()
  {
    QFETCH(QString, label);
    QFETCH(Qt::MouseButton, button);
    QFETCH(QStringList, opened);
    FBox->show();
    QVERIFY(QTest::qWaitForWindowExposed(FBox.get()));
    auto *link = FBox->findChild<QLabel *>(label);
    QVERIFY(link);
    // The press alone acts; the release adds nothing.
    QTest::mousePress(link, button);
    QCOMPARE(FOpened, opened);
    QTest::mouseRelease(link, button);
    QCOMPARE(FOpened, opened);
    QVERIFY(FBox->isVisible());
  }

  void okCloses_data()
  {
    QTest::addColumn<bool>("byKey");
    QTest::newRow("OK pressed") << false;
    QTest::newRow("Enter, the default button") << true;
  }

  void okCloses()
  {
    QFETCH(bool, byKey);
    // Shown again and again during a run: each showing closes the same way.
    for (int showing = 0; showing < 2; ++showing) {
      FBox->setResult(QDialog::Rejected);
      FBox->show();
      QVERIFY(QTest::qWaitForWindowExposed(FBox.get()));
      if (byKey)
        QTest::keyClick(FBox.get(), Qt::Key_Return);
      else
        QTest::mouseClick(FBox->OKButton, Qt::LeftButton);
      QVERIFY(!FBox->isVisible());
      QCOMPARE(FBox->result(), int(QDialog::Accepted));
    }
    QVERIFY(FOpened.isEmpty());
  }

  void fixedCentredAndWhole_data()
  {
    QTest::addColumn<bool>("withParent");
    QTest::newRow("on its own") << false;
    // A dialog with a parent would otherwise sit over the parent.
    QTest::newRow("over a main window in the corner") << true;
  }

  void fixedCentredAndWhole()
  {
    QFETCH(bool, withParent);
    if (withParent) {
      FOwner = std::make_unique<QWidget>();
      FOwner->setGeometry(0, 0, 240, 160);
      FOwner->show();
      QVERIFY(QTest::qWaitForWindowExposed(FOwner.get()));
      FBox = std::make_unique<TAboutBox>(FOwner.get());
    }
    FBox->show();
    QVERIFY(QTest::qWaitForWindowExposed(FBox.get()));
    const QSize shown = FBox->size();
    QCOMPARE(FBox->minimumSize(), shown);
    QCOMPARE(FBox->maximumSize(), shown);

    const QRect screen = FBox->screen()->availableGeometry();
    const QPoint offset = FBox->frameGeometry().center() - screen.center();
    QVERIFY2(offset.manhattanLength() <= 2,
             qPrintable(QStringLiteral("%1,%2 from the centre").arg(offset.x()).arg(offset.y())));

    // Every part lies inside the box and has the room its text needs.
    for (QWidget *part :
         std::initializer_list<QWidget *>{FBox->ProgramIcon, FBox->ProductName, FBox->lblVersion, FBox->Comments,
                                          FBox->sWebLabel1, FBox->sWebLabel2, FBox->OKButton}) {
      QVERIFY2(FBox->rect().contains(part->geometry()), qPrintable(part->objectName()));
      QVERIFY2(part->width() >= part->minimumSizeHint().width(), qPrintable(part->objectName()));
      const int needed = part->hasHeightForWidth() ? part->heightForWidth(part->width()) : part->sizeHint().height();
      QVERIFY2(part->height() >= needed, qPrintable(part->objectName()));
    }
    // The description is wrapped rather than widening the box past its column.
    QVERIFY(FBox->Comments->height() > FBox->Comments->fontMetrics().height() * 3 / 2);
  }
};

QTEST_MAIN(TestAbout)
#include "tst_about.moc"
