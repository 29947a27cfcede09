#include "plot/dispa.h"

#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <QtTest>

namespace {

QMouseEvent mouseEvent(QEvent::Type type, QPointF pos, Qt::MouseButton button = Qt::NoButton,
                       Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : button;
    return QMouseEvent(type, pos, pos, button, held, mods);
}

QWheelEvent wheelEvent(QPoint angle)
{
    return QWheelEvent(QPointF(5, 5), QPointF(5, 5), QPoint(), angle, Qt::NoButton, Qt::NoModifier,
                       Qt::NoScrollPhase, false);
}

// Counts the mouse presses that reach it, i.e. that a child passed on.
class CountingParent : public QWidget
{
public:
    int presses = 0;

protected:
    void mousePressEvent(QMouseEvent *) override { ++presses; }
};

} // namespace

class TstDispA : public QObject
{
    Q_OBJECT
private slots:
    void positionRounding_data();
    void positionRounding();
    void pressMoveReleaseSequence();
    void doubleClickKeepsCurrentPosition();
    void wheelSteps_data();
    void wheelSteps();
    void plainSurfaceIsBackgroundOnly_data();
    void plainSurfaceIsBackgroundOnly();
    void paintSetsFrameAndRelaysPainterInOrder();
    void altMoveIsIgnored();
    void eachEventRelaysAndRepaints_data();
    void eachEventRelaysAndRepaints();
    void eventsDoNotReachParent();
};

void TstDispA::positionRounding_data()
{
    QTest::addColumn<QPointF>("pos");
    QTest::addColumn<QPoint>("stored");
    QTest::newRow("halves go up") << QPointF(10.5, -3.5) << QPoint(11, -3);
    QTest::newRow("nearest integer") << QPointF(2.4, 7.6) << QPoint(2, 8);
    QTest::newRow("negative halves") << QPointF(-0.5, -1.5) << QPoint(0, -1);
}

void TstDispA::positionRounding()
{
    QFETCH(QPointF, pos);
    QFETCH(QPoint, stored);
    MouseC m;
    auto e = mouseEvent(QEvent::MouseMove, pos);
    m.mouseMove(&e);
    QCOMPARE(m.curPos, stored);
}

void TstDispA::pressMoveReleaseSequence()
{
    MouseC m;
    QSignalSpy moved(&m, &MouseC::mMoved);
    QSignalSpy pressedSpy(&m, &MouseC::mPressed);
    QSignalSpy released(&m, &MouseC::mReleased);

    auto move = mouseEvent(QEvent::MouseMove, QPointF(5, 6), Qt::NoButton, Qt::ShiftModifier);
    m.mouseMove(&move);
    QCOMPARE(m.prevPos, QPoint(0, 0));
    QCOMPARE(m.moveModifiers, int(Qt::ShiftModifier));
    QCOMPARE(moved.count(), 1);

    auto press =
        mouseEvent(QEvent::MouseButtonPress, QPointF(20, 30), Qt::RightButton, Qt::ControlModifier);
    m.mousePress(&press);
    QCOMPARE(m.prevPos, QPoint(5, 6));
    QCOMPARE(m.curPos, QPoint(20, 30));
    QCOMPARE(m.pressPos, QPoint(20, 30));
    QVERIFY(m.pressed);
    QCOMPARE(m.pressButton, int(Qt::RightButton));
    QCOMPARE(m.pressModifiers, int(Qt::ControlModifier));
    QCOMPARE(pressedSpy.count(), 1);

    auto release = mouseEvent(QEvent::MouseButtonRelease, QPointF(40, 50), Qt::RightButton);
    m.mouseRelease(&release);
    QCOMPARE(m.prevPos, QPoint(20, 30));
    QCOMPARE(m.releasePos, QPoint(40, 50));
    QVERIFY(!m.pressed);
    QCOMPARE(m.pressButton, int(Qt::RightButton));
    QCOMPARE(m.releaseButton, int(Qt::RightButton));
    QCOMPARE(m.releaseModifiers, 0);
    QCOMPARE(released.count(), 1);
}

void TstDispA::doubleClickKeepsCurrentPosition()
{
    MouseC m;
    QSignalSpy dclicked(&m, &MouseC::mDClicked);
    auto move = mouseEvent(QEvent::MouseMove, QPointF(7, 8));
    m.mouseMove(&move);
    auto dclick =
        mouseEvent(QEvent::MouseButtonDblClick, QPointF(70, 80), Qt::LeftButton, Qt::AltModifier);
    m.mouseDClick(&dclick);
    QCOMPARE(m.dClickPos, QPoint(70, 80));
    QCOMPARE(m.dClickButton, int(Qt::LeftButton));
    QCOMPARE(m.dClickModifiers, int(Qt::AltModifier));
    QCOMPARE(m.curPos, QPoint(7, 8));
    QCOMPARE(m.prevPos, QPoint(0, 0));
    QCOMPARE(dclicked.count(), 1);
}

void TstDispA::wheelSteps_data()
{
    QTest::addColumn<QPoint>("angle");
    QTest::addColumn<int>("step");
    QTest::newRow("one notch") << QPoint(0, 120) << 1;
    QTest::newRow("two notches") << QPoint(0, 240) << 2;
    QTest::newRow("one notch back") << QPoint(0, -120) << -1;
    QTest::newRow("half notch") << QPoint(0, 60) << 0;
    QTest::newRow("almost a notch") << QPoint(0, 119) << 0;
    QTest::newRow("almost two back") << QPoint(0, -239) << -1;
    QTest::newRow("horizontal wheel only") << QPoint(-120, 0) << -1;
}

void TstDispA::wheelSteps()
{
    QFETCH(QPoint, angle);
    QFETCH(int, step);
    MouseC m;
    QSignalSpy spy(&m, &MouseC::wheelMoved);
    auto e = wheelEvent(angle);
    m.mouseWheel(&e);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toInt(), step);
}

void TstDispA::plainSurfaceIsBackgroundOnly_data()
{
    QTest::addColumn<QColor>("background");
    QTest::newRow("default white") << QColor();
    QTest::newRow("job colour") << QColor(10, 20, 30);
}

void TstDispA::plainSurfaceIsBackgroundOnly()
{
    QFETCH(QColor, background);
    DispA d;
    if (background.isValid())
        d.background = background;
    else
        QCOMPARE(d.background, QColor(255, 255, 255));
    d.resize(40, 30);
    QImage img(d.size(), QImage::Format_RGB32);
    img.fill(Qt::green);
    d.render(&img);
    // The styled frame is never drawn: every pixel is the background.
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            QCOMPARE(img.pixelColor(x, y), d.background);
}

void TstDispA::paintSetsFrameAndRelaysPainterInOrder()
{
    DispA d;
    d.resize(120, 80);
    QStringList order;
    connect(&d, &DispA::drawImage1, this, [&](QPainter *p) {
        order << QStringLiteral("1");
        QCOMPARE(d.coord.frameBottom, 80.0);
        QCOMPARE(d.coord.frameRight, 120.0);
        QCOMPARE(d.coord.frameTop, 0.0);
        QCOMPARE(d.coord.plotBottom, 80.0);
        p->fillRect(10, 10, 5, 5, Qt::red);
    });
    connect(&d, &DispA::drawImage2, this, [&](QPainter *p) {
        order << QStringLiteral("2");
        p->fillRect(12, 12, 5, 5, Qt::blue);
    });
    QImage img(d.size(), QImage::Format_RGB32);
    d.render(&img);
    QCOMPARE(order, QStringList({"1", "2"}));
    QCOMPARE(img.pixelColor(10, 10), QColor(Qt::red));
    QCOMPARE(img.pixelColor(13, 13), QColor(Qt::blue)); // second painter call is on top
    QCOMPARE(img.pixelColor(30, 30), QColor(Qt::white));
}

void TstDispA::altMoveIsIgnored()
{
    DispA d;
    d.resize(100, 100);
    d.show();
    QVERIFY(QTest::qWaitForWindowExposed(&d));
    int paints = 0;
    connect(&d, &DispA::drawImage1, this, [&](QPainter *) { ++paints; });
    QSignalSpy relayed(&d, &DispA::mouseMoved0);
    QSignalSpy moved(&d.mouse, &MouseC::mMoved);
    QCoreApplication::processEvents();
    paints = 0;

    auto alt = mouseEvent(QEvent::MouseMove, QPointF(30, 40), Qt::NoButton, Qt::AltModifier);
    QCoreApplication::sendEvent(&d, &alt);
    QCoreApplication::processEvents(); // delivers a repaint if one was scheduled
    QCOMPARE(d.mouse.curPos, QPoint(0, 0));
    QCOMPARE(moved.count(), 0);
    QCOMPARE(relayed.count(), 0);
    QCOMPARE(paints, 0);

    auto plain = mouseEvent(QEvent::MouseMove, QPointF(30, 40));
    QCoreApplication::sendEvent(&d, &plain);
    QCOMPARE(d.mouse.curPos, QPoint(30, 40));
    QCOMPARE(relayed.count(), 1);
    QCoreApplication::processEvents();
    QVERIFY(paints > 0);
}

void TstDispA::eachEventRelaysAndRepaints_data()
{
    QTest::addColumn<int>("kind");
    QTest::newRow("move") << int(QEvent::MouseMove);
    QTest::newRow("press") << int(QEvent::MouseButtonPress);
    QTest::newRow("release") << int(QEvent::MouseButtonRelease);
    QTest::newRow("double click") << int(QEvent::MouseButtonDblClick);
    QTest::newRow("wheel") << int(QEvent::Wheel);
}

void TstDispA::eachEventRelaysAndRepaints()
{
    QFETCH(int, kind);
    DispA d;
    d.resize(100, 100);
    d.show();
    QVERIFY(QTest::qWaitForWindowExposed(&d));
    QCoreApplication::processEvents();
    int paints = 0;
    connect(&d, &DispA::drawImage1, this, [&](QPainter *) { ++paints; });
    QSignalSpy move0(&d, &DispA::mouseMoved0);
    QSignalSpy press0(&d, &DispA::mousePressed0);
    QSignalSpy release0(&d, &DispA::mouseReleased0);
    QSignalSpy dclick0(&d, &DispA::mouseDoubleClicked0);
    QSignalSpy wheel0(&d, &DispA::wheelMoved0);
    QSignalSpy coordUpdated(&d.coord, &ChCoord::updated);

    const auto type = QEvent::Type(kind);
    if (type == QEvent::Wheel) {
        auto e = wheelEvent(QPoint(0, 120));
        QCoreApplication::sendEvent(&d, &e);
    } else {
        auto e = mouseEvent(type, QPointF(20, 20),
                            type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton);
        QCoreApplication::sendEvent(&d, &e);
    }
    QCOMPARE(move0.count(), int(type == QEvent::MouseMove));
    QCOMPARE(press0.count(), int(type == QEvent::MouseButtonPress));
    QCOMPARE(release0.count(), int(type == QEvent::MouseButtonRelease));
    QCOMPARE(dclick0.count(), int(type == QEvent::MouseButtonDblClick));
    QCOMPARE(wheel0.count(), int(type == QEvent::Wheel));
    // The coordinate system heard of it before the surface relayed it.
    QCOMPARE(coordUpdated.count(), 1);
    QTRY_VERIFY(paints > 0);
}

void TstDispA::eventsDoNotReachParent()
{
    CountingParent parent;
    auto *d = new DispA(&parent);
    d->resize(50, 50);
    auto e = mouseEvent(QEvent::MouseButtonPress, QPointF(10, 10), Qt::LeftButton);
    QCoreApplication::sendEvent(d, &e);
    QVERIFY(d->mouse.pressed);
    QCOMPARE(parent.presses, 0);
}

QTEST_MAIN(TstDispA)
#include "tst_dispa.moc"
