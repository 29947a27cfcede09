#include "chi/chi.h"
#include "tests/testfiles.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using V = QVector<double>;

namespace {

const QString dataDir = QStringLiteral(CHI_TEST_DATA);

// Text that shows NaN as "nan", so that NaN compares equal to NaN.
QString text(const V &values)
{
    QStringList numbers;
    for (double value : values)
        numbers << QString::number(value, 'g', 17);
    return numbers.join(QLatin1Char(' '));
}

// Reads chi.dat and transforms it: values a new read must clear.
void holdPrevious(Chi &data)
{
    data.readChiK(dataDir + QStringLiteral("/chi.dat"));
    data.transform(3.0, 20.0, 0.0, 8.0, 0.01);
}

// No chi(R) and empty extents, as after reading a file without data.
bool allCleared(const Chi &data)
{
    return !data.hasChiR && data.r.isEmpty() && data.chiRAbs.isEmpty() && data.chiRRe.isEmpty() &&
           data.chiRIm.isEmpty() && data.kExtent.min == 1e300 && data.chiExtent.max == -1e300 &&
           data.rExtent.min == 1e300 && data.chiRAbsExtent.max == -1e300;
}

// A value of /proc/self/status in kB, -1 if unknown (Linux only).
qint64 statusKb(const char *key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly | QIODevice::Text))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(int(qstrlen(key))).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

// Starts a new peak (VmHWM) at the present resident size.
// False where the peak cannot be measured: without /proc, and under
// AddressSanitizer, whose allocator keeps freed memory in quarantine.
bool resetPeak()
{
#if defined(__SANITIZE_ADDRESS__)
    return false;
#endif
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    return clear.open(QIODevice::WriteOnly) && clear.write("5") == 1;
}

} // namespace

// Reading chi(k) files: real FEFF 6 output (Cu fcc, made by /usr/bin/feff6
// from data/feff.inp) and hand-made odd files.
class TstChiReader : public QObject
{
    Q_OBJECT
private slots:
    void feffFiles_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<double>("firstChi");
        QTest::addColumn<double>("lastChi");
        QTest::addColumn<double>("chiMin");
        QTest::addColumn<double>("chiMax");
        // Expected values from the files by a short Python script (split(),
        // float()) that follows the header rules independently.
        QTest::newRow("total chi.dat")
            << "chi.dat" << -0.3152744 << 0.01031053 << -0.4153992 << 0.1813604;
        QTest::newRow("path 1 chip0001.dat")
            << "chip0001.dat" << -0.4594932 << 0.003860102 << -0.4594932 << 0.2205626;
    }

    // Every file has 401 points, k = 0 to 20 by 0.05.
    void feffFiles()
    {
        QFETCH(QString, file);
        Chi chi;
        QSignalSpy logSpy(&chi, &Chi::log);
        const QString path = dataDir + QLatin1Char('/') + file;
        chi.readChiK(path);
        QVERIFY(chi.hasChiK && !chi.hasChiR);
        QCOMPARE(logSpy.count(), 0);
        QCOMPARE(chi.sourcePath, path);
        QVERIFY(chi.k.size() == 401 && chi.chi.size() == 401 && chi.k[1] == 0.05);
        QTEST(chi.chi.first(), "firstChi");
        QTEST(chi.chi.last(), "lastChi");
        QVERIFY(chi.kExtent.min == 0.0 && chi.kExtent.max == 20.0);
        QTEST(chi.chiExtent.min, "chiMin");
        QTEST(chi.chiExtent.max, "chiMax");
    }

    void oddFiles_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<V>("k");
        QTest::addColumn<V>("chi");
        QTest::newRow("hash glued to k is no header") << QByteArray("#k chi\n1 2\n") << V{} << V{};
        QTest::newRow("numbers before the header are not data")
            << QByteArray("1 2\n3 4\nk chi\n5 6\n") << V{5} << V{6};
        QTest::newRow("blank, white-space and one-field lines inside the data")
            << QByteArray("k chi\n1 2\n\n   \n5\n3 4\n") << V{1, 3} << V{2, 4};
        QTest::newRow("non-numbers, Fortran D exponent and overflow read as 0")
            << QByteArray("k chi\n1 x\n2 1.0D+00\n3 1e400\n4 5\n") << V{1, 2, 3, 4}
            << V{0, 0, 0, 5};
        QTest::newRow("header-like lines after the data started")
            << QByteArray("k chi\n1 2\nk chi\n# k chi\n3 4") << V{1, 0, 0, 3} << V{2, 0, 0, 4};
        QTest::newRow("hash header, CRLF line ends")
            << QByteArray("# k chi\r\n1 2\r\n\r\n3 4\r\n") << V{1, 3} << V{2, 4};
        QTest::newRow("UTF-8 byte-order mark")
            << QByteArray("\xef\xbb\xbfk chi\n1 2\n") << V{1} << V{2};
        // Lines are looked at up to 65536 characters; the rest of a longer line
        // must be skipped without losing the next line.
        const QByteArray limit(65536, 'x');
        QTest::newRow("data line with a long tail")
            << QByteArray("k chi\n1 2 ") + QByteArray(200000, 'y') + "\n3 4\n"
            << V{1, 3} << V{2, 4};
        QTest::newRow("long line at the end without line end")
            << QByteArray("k chi\n1 2\n") + limit + limit << V{1} << V{2};
    }

    void oddFiles()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(V, k);
        QFETCH(V, chi);
        const QString path = dir.filePath(QStringLiteral("odd.dat"));
        QVERIFY(writeFile(path, bytes));
        Chi data;
        holdPrevious(data);
        QSignalSpy logSpy(&data, &Chi::log);
        data.readChiK(path);
        QCOMPARE(logSpy.count(), 0);
        QCOMPARE(data.hasChiK, !k.isEmpty());
        QCOMPARE(text(data.k), text(k));
        QCOMPARE(text(data.chi), text(chi));
        QCOMPARE(data.sourcePath, path);
        QVERIFY(k.isEmpty() ? allCleared(data) : !data.hasChiR && data.r.isEmpty());
    }

    // Nothing is read; the old values go all the same, while sourcePath
    // still names the last file that could be opened.
    void unreadablePaths_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("missing file") << "/no/such/dir/chi.dat";
        QTest::newRow("blanks and non-ASCII letters") << "/no/such dir/Müller データ/chi.dat";
    }

    void unreadablePaths()
    {
        QFETCH(QString, path);
        Chi data;
        holdPrevious(data);
        QSignalSpy logSpy(&data, &Chi::log);
        data.readChiK(path);
        QVERIFY(!data.hasChiK && data.k.isEmpty() && data.chi.isEmpty() && allCleared(data));
        QCOMPARE(data.sourcePath, dataDir + "/chi.dat");
        QCOMPARE(logSpy.count(), 1);
        QCOMPARE(logSpy.at(0).at(0).toString(), "::Can not read chi(k) file : " + path);
    }

    // Bad input and bulk: no crash, a clear outcome, and memory for the points
    // only (two doubles each, with room for the vectors' growth), never for the
    // file: lines are never held whole.
    void bulk_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("points");
        QTest::addColumn<V>("ends"); // k and chi of the first and the last point, if any
        QByteArray oneLine;
        oneLine.reserve(50 * 1024 * 1024);
        while (oneLine.size() < 50 * 1024 * 1024)
            oneLine += "k chi 1.5 -2 ";
        QTest::newRow("50 MB in one line without line end") << oneLine << 0 << V{};
        QByteArray million = "# k chi\n";
        for (int i = 0; i < 1000000; ++i)
            million += QByteArray::number(i) + ".5 " + QByteArray::number(-i) + "e-6\n";
        QTest::newRow("10^6 data lines") << million << 1000000 << V{0.5, 0, 999999.5, -0.999999};
    }

    void bulk()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, points);
        QFETCH(V, ends);
        const QString path = dir.filePath(QStringLiteral("bulk.dat"));
        QVERIFY(writeFile(path, bytes));
        const bool measured = resetPeak();
        const qint64 before = statusKb("VmRSS:");
        Chi data;
        QSignalSpy logSpy(&data, &Chi::log);
        data.readChiK(path);
        const qint64 grown = statusKb("VmHWM:") - before;
        QCOMPARE(logSpy.count(), 0);
        QCOMPARE(data.hasChiK, points != 0);
        QCOMPARE(data.k.size(), data.chi.size());
        QCOMPARE(data.k.size(), points);
        if (points > 0)
            QCOMPARE((V{data.k.first(), data.chi.first(), data.k.last(), data.chi.last()}), ends);
        if (measured && before > 0)
            QVERIFY2(grown < 16 * 1024 + data.k.size() * 2 * 2 * 8 / 1024,
                     qPrintable(QStringLiteral("peak grew by %1 kB").arg(grown)));
    }

private:
    QTemporaryDir dir;
};

QTEST_GUILESS_MAIN(TstChiReader)
#include "tst_chireader.moc"
