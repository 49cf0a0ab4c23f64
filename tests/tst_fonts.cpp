// The five font kinds: their defaults, their settings sections, the two
// fixed-size fonts derived from them, and applying a font with its colour.

#include "store/uFonts.h"

#include <QFontInfo>
#include <QImage>
#include <QPainter>
#include <QTest>

Q_DECLARE_METATYPE(TDtkFont)

class TestFonts : public QObject
{
  Q_OBJECT

private slots:
  void defaults_data()
  {
    QTest::addColumn<TDtkFont>("font");
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("points");
    QTest::addColumn<bool>("italic");
    QTest::addColumn<QString>("section");
    QTest::newRow("series and number") << TDtkFont(TFontSeriaNumb()) << int(fkSeriaNumb) << 11 << false
                                       << QStringLiteral("FontSeriaNumb");
    QTest::newRow("name") << TDtkFont(TFontFIO()) << int(fkFIO) << 13 << true << QStringLiteral("FontFIO");
    QTest::newRow("school") << TDtkFont(TFontSchool()) << int(fkSchool) << 12 << false << QStringLiteral("FontSchool");
    QTest::newRow("subjects and marks") << TDtkFont(TFontSubjMark()) << int(fkSubjMark) << 12 << true
                                        << QStringLiteral("FontSubjMark");
    QTest::newRow("back side") << TDtkFont(TFontBackSide()) << int(fkBackSide) << 12 << true
                               << QStringLiteral("FontBackSide");
  }

  void defaults()
  {
    QFETCH(TDtkFont, font);
    QFETCH(int, kind);
    QFETCH(int, points);
    QFETCH(bool, italic);
    QFETCH(QString, section);

    QCOMPARE(font.family(), QStringLiteral("Times New Roman"));
    QCOMPARE(font.pointSize(), points);
    QVERIFY(font.bold());
    QCOMPARE(font.italic(), italic);
    QVERIFY(!font.underline());
    QVERIFY(!font.strikeOut());
    QCOMPARE(font.Color, QColor(Qt::black));
    QCOMPARE(font.Charset, QFontDatabase::Any);
    QCOMPARE(FontSectionName(kind), section);

    // The reset makes the same font anew.
    const TDtkFont fresh = DefaultFontOfKind(kind);
    QCOMPARE(static_cast<const QFont &>(fresh), static_cast<const QFont &>(font));
    QCOMPARE(fresh.Color, font.Color);
    QCOMPARE(fresh.Charset, font.Charset);
  }

  void noSectionForOtherKinds_data()
  {
    QTest::addColumn<int>("kind");
    QTest::newRow("reset all") << int(fkResetAll);
    QTest::newRow("0") << 0;
    QTest::newRow("6") << 6;
  }

  void noSectionForOtherKinds()
  {
    QFETCH(int, kind);
    QVERIFY(FontSectionName(kind).isEmpty());
  }

  // Text widths are measured in the face the blank was laid out for; without
  // its metric twin installed every text lands elsewhere.
  void timesNewRomanHasItsMetricTwin()
  {
    const QFontInfo info(TFontSubjMark{});
    QVERIFY2(info.family() == QStringLiteral("Liberation Serif") || info.family() == QStringLiteral("Times New Roman"),
             qPrintable(QStringLiteral("resolved to ") + info.family()));
  }

  // The ending after the name lines stays 11 pt bold (not italic) in the name
  // font's face and colour, whatever that font's size and style.
  void fioEndingFont()
  {
    TDtkFont fio = TFontFIO();
    fio.setFamily(QStringLiteral("DejaVu Sans"));
    fio.setPointSize(20);
    fio.setBold(false);
    fio.setUnderline(true);
    fio.Color = Qt::darkBlue;
    const TDtkFont ending = FioEndingFont(fio);
    QCOMPARE(ending.family(), QStringLiteral("DejaVu Sans"));
    QCOMPARE(ending.pointSize(), 11);
    QVERIFY(ending.bold());
    QVERIFY(!ending.italic());
    QVERIFY(!ending.underline());
    QCOMPARE(ending.Color, QColor(Qt::darkBlue));
  }

  // The registration number keeps the back side font's face, style and
  // colour at 10 pt.
  void regNumFont()
  {
    TDtkFont back = TFontBackSide();
    back.setFamily(QStringLiteral("DejaVu Sans"));
    back.setPointSize(16);
    back.setBold(false);
    back.Color = Qt::darkRed;
    const TDtkFont regNum = RegNumFont(back);
    QCOMPARE(regNum.family(), QStringLiteral("DejaVu Sans"));
    QCOMPARE(regNum.pointSize(), 10);
    QVERIFY(!regNum.bold());
    QVERIFY(regNum.italic());
    QCOMPARE(regNum.Color, QColor(Qt::darkRed));
  }

  // Qt draws text with the pen: applying a font sets the pen's colour and
  // leaves its width alone.
  void applyingSetsThePenColour_data()
  {
    QTest::addColumn<TDrawTarget>("target");
    QTest::newRow("screen") << dtScreen;
    QTest::newRow("printer") << dtPrinter;
  }

  void applyingSetsThePenColour()
  {
    QFETCH(TDrawTarget, target);
    QImage image(10, 10, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setPen(QPen(Qt::gray, 3));
    TDtkFont font = TFontSchool();
    font.Color = Qt::darkGreen;
    ApplyDtkFontMM(painter, target, font);
    QCOMPARE(painter.pen().color(), QColor(Qt::darkGreen));
    QCOMPARE(painter.pen().width(), 3);
    QCOMPARE(painter.font().family(), QStringLiteral("Times New Roman"));
    QVERIFY(painter.font().bold());
  }
};

QTEST_MAIN(TestFonts)
#include "tst_fonts.moc"
