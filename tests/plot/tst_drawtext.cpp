#include "plot/drawtext.h"

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QtTest>

namespace {

// Draws "8888" fitted into rect on white; returns the bounding box of the
// ink and the painter's font afterwards.
QRect drawnInk(QRectF rect, double maxSize, QFont *fontAfter = nullptr)
{
    QImage img(400, 200, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    QFont font;
    font.setPointSizeF(22);
    DrawText().fitText(&p, rect, font, Qt::AlignCenter, DrawText::Fit, QStringLiteral("8888"),
                       maxSize);
    if (fontAfter)
        *fontAfter = p.font();
    QRect box;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (img.pixel(x, y) != qRgb(255, 255, 255))
                box |= QRect(x, y, 1, 1);
    return box;
}

} // namespace

class TstDrawText : public QObject
{
    Q_OBJECT
private slots:
    void fittedPointSize_data()
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
    void fittedPointSize()
    {
        QFETCH(QSizeF, box);
        QFETCH(QSizeF, measured);
        QFETCH(double, cap);
        QFETCH(double, size);
        QCOMPARE(DrawText::fittedPointSize(box, measured, cap), size);
    }

    void drawsFittedAndRestoresFont_data()
    {
        QTest::addColumn<QRectF>("rect");
        QTest::addColumn<double>("cap");
        QTest::newRow("fits the rectangle") << QRectF(100, 50, 120, 40) << 0.0;
        QTest::newRow("negative width is normalised") << QRectF(220, 50, -120, 40) << 0.0;
        QTest::newRow("cap keeps it small") << QRectF(20, 20, 360, 160) << 15.0;
        QTest::newRow("collapsed rectangle: nothing") << QRectF(100, 50, 0, 40) << 15.0;
    }
    void drawsFittedAndRestoresFont()
    {
        QFETCH(QRectF, rect);
        QFETCH(double, cap);
        QFont after;
        const QRect ink = drawnInk(rect, cap, &after);
        rect = rect.normalized();
        QCOMPARE(after.pointSizeF(), 22.0);
        if (rect.isEmpty()) {
            QVERIFY(ink.isEmpty());
            return;
        }
        QVERIFY(!ink.isEmpty());
        QVERIFY2(rect.adjusted(-1, -1, 1, 1).contains(QRectF(ink)), "text leaves its rectangle");
        if (cap > 0) // less than half the height it would have without the cap
            QVERIFY(ink.height() * 2 < drawnInk(rect, 0).height());
        else // fitted, not merely drawn: it fills most of the limiting side
            QVERIFY(ink.width() > 0.6 * rect.width() || ink.height() > 0.5 * rect.height());
    }
};

QTEST_MAIN(TstDrawText)
#include "tst_drawtext.moc"
