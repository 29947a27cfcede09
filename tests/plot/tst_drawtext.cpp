#include "plot/drawtext.h"

#include <QtTest>

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
        QTEST(DrawText::fittedPointSize(box, measured, cap), "size");
    }
};

QTEST_MAIN(TstDrawText)
#include "tst_drawtext.moc"
