#include "plot/dispa.h"

#include <QMouseEvent>
#include <QWheelEvent>
#include <QtTest>

namespace {

// Counts the mouse and wheel events that reach it, i.e. that a child passed on.
class CountingParent : public QWidget
{
public:
    int events = 0;

protected:
    bool event(QEvent *e) override
    {
        events += e->type() == QEvent::Wheel || dynamic_cast<QMouseEvent *>(e);
        return QWidget::event(e);
    }
};

void send(QWidget *w, QEvent::Type type, QPointF pos, int button = 0, int mods = 0)
{
    const auto b = Qt::MouseButton(button);
    const auto m = Qt::KeyboardModifiers(mods);
    if (type == QEvent::Wheel) {
        QWheelEvent e(pos, pos, QPoint(), QPoint(0, 120), Qt::NoButton, m, Qt::NoScrollPhase,
                      false);
        QCoreApplication::sendEvent(w, &e);
    } else {
        QMouseEvent e(type, pos, pos, b, type == QEvent::MouseButtonRelease ? Qt::NoButton : b, m);
        QCoreApplication::sendEvent(w, &e);
    }
}

} // namespace

class TstDispA : public QObject
{
    Q_OBJECT
private slots:
    // Before each event: a move to (5, 6) and a left press at (7, 8).
    void events_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QPointF>("pos");
        QTest::addColumn<int>("mods");
        QTest::addColumn<QPoint>("cur"); // halves go up
        const QPoint before(7, 8);
        QTest::newRow("move") << int(QEvent::MouseMove) << QPointF(10.5, -3.5) << 0
                              << QPoint(11, -3);
        QTest::newRow("press") << int(QEvent::MouseButtonPress) << QPointF(2.4, 7.6) << 0
                               << QPoint(2, 8);
        QTest::newRow("double click keeps the position")
            << int(QEvent::MouseButtonDblClick) << QPointF(70, 80) << 0 << before;
        QTest::newRow("move with Alt is ignored")
            << int(QEvent::MouseMove) << QPointF(30, 40) << int(Qt::AltModifier) << before;
    }
    void events()
    {
        QFETCH(int, type);
        QFETCH(QPointF, pos);
        QFETCH(int, mods);
        CountingParent parent;
        auto *d = new DispA(&parent);
        parent.resize(100, 100);
        d->resize(100, 100);
        parent.show();
        QVERIFY(QTest::qWaitForWindowExposed(&parent));
        send(d, QEvent::MouseMove, QPointF(5, 6));
        send(d, QEvent::MouseButtonPress, QPointF(7, 8), Qt::LeftButton);
        QCoreApplication::processEvents();
        int paints = 0;
        connect(d, &DispA::drawImage1, this, [&](QPainter *) { ++paints; });
        QSignalSpy coordUpdated(&d->coord, &ChCoord::updated); // the surface drives it

        send(d, QEvent::Type(type), pos, Qt::LeftButton, mods);
        const bool ignored = mods & Qt::AltModifier;
        QCOMPARE(coordUpdated.count(), int(!ignored));
        QTEST(d->mouse.curPos, "cur");
        QCOMPARE(d->mouse.pressed, type != QEvent::MouseButtonRelease);
        QCOMPARE(parent.events, 0);
        if (ignored) {
            QCoreApplication::processEvents();
            QCOMPARE(paints, 0);
        } else {
            QTRY_VERIFY(paints > 0);
        }
    }
};

QTEST_MAIN(TstDispA)
#include "tst_dispa.moc"
