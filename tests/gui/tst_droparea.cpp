#include "gui/droparea.h"

#include <QMimeData>
#include <QSignalSpy>
#include <QUrl>
#include <QtTest>

Q_DECLARE_METATYPE(QList<QUrl>)

namespace {

// QApplication only forwards drag-and-drop events that come from a real drag
// in progress, so hand the event to the widget's own dispatcher.
void deliver(QWidget &widget, QEvent &event)
{
    static_cast<QObject &>(widget).event(&event);
}

} // namespace

class TstDropArea : public QObject
{
    Q_OBJECT
private slots:
    void drop_data();
    void drop();
    void dragEnterIsAccepted();
};

void TstDropArea::drop_data()
{
    QTest::addColumn<QList<QUrl>>("urls");
    // Expected signals, one "path|url|scheme|host" string per signal.
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("Windows drive letter")
        << QList<QUrl>{QUrl("file:///C:/work/a.cif")}
        << QStringList{"C:/work/a.cif|file:///C:/work/a.cif|file|"};
    QTest::newRow("network share")
        << QList<QUrl>{QUrl("file://server/share/cifs/a.cif")}
        << QStringList{"/share/cifs/a.cif|file://server/share/cifs/a.cif|file|server"};
    QTest::newRow("percent sign in name")
        << QList<QUrl>{QUrl::fromLocalFile("/tmp/50%.cif")}
        << QStringList{"/tmp/50%.cif|file:///tmp/50%25.cif|file|"};
    QTest::newRow("http URL passes unfiltered")
        << QList<QUrl>{QUrl("http://example.org/x/a.cif")}
        << QStringList{"/x/a.cif|http://example.org/x/a.cif|http|example.org"};
}

void TstDropArea::drop()
{
    QFETCH(QList<QUrl>, urls);
    QFETCH(QStringList, expected);
    DropArea area;
    QSignalSpy spy(&area, &DropArea::dropped);
    QMimeData mime;
    mime.setUrls(urls);
    QDropEvent event(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    event.accept();
    deliver(area, event);
    QVERIFY(!event.isAccepted()); // nobody took the URLs
    QStringList got;
    for (const QList<QVariant> &args : spy) {
        QStringList parts;
        for (const QVariant &v : args)
            parts << v.toString();
        got << parts.join('|');
    }
    QCOMPARE(got, expected);
    QVERIFY(area.text().isEmpty());
}

void TstDropArea::dragEnterIsAccepted()
{
    DropArea area;
    QMimeData mime;
    mime.setData("application/x-anything", "x");
    QDragEnterEvent event(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    event.setDropAction(Qt::IgnoreAction);
    deliver(area, event);
    QVERIFY(event.isAccepted());
    QCOMPARE(event.dropAction(), Qt::CopyAction);
}

QTEST_MAIN(TstDropArea)
#include "tst_droparea.moc"
