#include "plot/drawtext.h"

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QtTest>

namespace {

// Bounding box of the pixels that are not white.
QRect inkBox(const QImage &img)
{
    QRect box;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (img.pixel(x, y) != qRgb(255, 255, 255))
                box |= QRect(x, y, 1, 1);
    return box;
}

QImage drawn(QRectF rect, const QString &text, double maxSize, QFont *fontAfter = nullptr)
{
    QImage img(400, 200, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setPen(Qt::black);
    QFont font;
    font.setPointSizeF(22);
    DrawText dt;
    dt.fitText(&p, rect, font, Qt::AlignHCenter | Qt::AlignVCenter, DrawText::Fit, text, maxSize);
    if (fontAfter)
        *fontAfter = p.font();
    return img;
}

} // namespace

class TstDrawText : public QObject
{
    Q_OBJECT
private slots:
    void fittedPointSize_data();
    void fittedPointSize();
    void negativeRectIsNormalised();
    void fitsInsideRectAndRestoresFont();
    void capLimitsSize();
    void collapsedRectDrawsNothing();
};

void TstDrawText::fittedPointSize_data()
{
    QTest::addColumn<QSizeF>("box");
    QTest::addColumn<QSizeF>("measured");
    QTest::addColumn<double>("cap");
    QTest::addColumn<double>("size");
    QTest::newRow("height limits: min(1.35, 0.875) x 10")
        << QSizeF(54, 14) << QSizeF(40, 16) << 15.0 << 8.75;
    QTest::newRow("37.5 capped at 15") << QSizeF(200, 60) << QSizeF(40, 16) << 15.0 << 15.0;
    QTest::newRow("no cap") << QSizeF(200, 60) << QSizeF(40, 16) << 0.0 << 37.5;
    QTest::newRow("empty text stays at 10") << QSizeF(54, 14) << QSizeF(0, 0) << 15.0 << 10.0;
    QTest::newRow("zero width measured") << QSizeF(54, 14) << QSizeF(0, 16) << 15.0 << 8.75;
    QTest::newRow("collapsed box") << QSizeF(0, 14) << QSizeF(40, 16) << 15.0 << 0.0;
}

void TstDrawText::fittedPointSize()
{
    QFETCH(QSizeF, box);
    QFETCH(QSizeF, measured);
    QFETCH(double, cap);
    QFETCH(double, size);
    QCOMPARE(DrawText::fittedPointSize(box, measured, cap), size);
}

void TstDrawText::negativeRectIsNormalised()
{
    QImage img(10, 10, QImage::Format_RGB32);
    QPainter p(&img);
    QRectF r(100, 20, -50, 30);
    DrawText dt;
    dt.fitText(&p, r, QFont(), Qt::AlignCenter, DrawText::Plain, QString(), 15);
    QCOMPARE(r, QRectF(50, 20, 50, 30));
}

void TstDrawText::fitsInsideRectAndRestoresFont()
{
    QFont after;
    const QRectF rect(100, 50, 120, 40);
    const QImage img = drawn(rect, QStringLiteral("8888"), 0, &after);
    const QRect ink = inkBox(img);
    QVERIFY(!ink.isEmpty());
    QVERIFY2(rect.adjusted(-1, -1, 1, 1).contains(QRectF(ink)), "text leaves its rectangle");
    // Fitted, not merely drawn: it fills most of the limiting side.
    QVERIFY(ink.width() > 0.6 * rect.width() || ink.height() > 0.5 * rect.height());
    QCOMPARE(after.pointSizeF(), 22.0);
}

void TstDrawText::capLimitsSize()
{
    const QRectF rect(20, 20, 360, 160);
    const QRect free = inkBox(drawn(rect, QStringLiteral("8888"), 0));
    const QRect capped = inkBox(drawn(rect, QStringLiteral("8888"), 15));
    QVERIFY(!capped.isEmpty());
    QVERIFY(capped.height() * 2 < free.height());
}

void TstDrawText::collapsedRectDrawsNothing()
{
    QFont after;
    const QImage img = drawn(QRectF(100, 50, 0, 40), QStringLiteral("8888"), 15, &after);
    QVERIFY(inkBox(img).isEmpty());
    QCOMPARE(after.pointSizeF(), 22.0);
}

QTEST_MAIN(TstDrawText)
#include "tst_drawtext.moc"
