#include "chi/chi.h"

#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>

// Reading chi(k) files: real FEFF 6 output (Cu fcc, made by /usr/bin/feff6
// from data/feff.inp) and hand-made odd files.
class TstChiReader : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void feffFiles_data();
    void feffFiles();
    void oddFiles_data();
    void oddFiles();
    void longLines_data();
    void longLines();
    void extentsOfTwoPoints();
    void unopenablePath_data();
    void unopenablePath();
    void failedReadClearsEverything();
    void headerlessReadClearsEverything();
    void garbage_data();
    void garbage();
    void millionLines();

private:
    QString writeFile(const QString &name, const QByteArray &bytes);
    QTemporaryDir dir;
};

namespace {

const QString dataDir = QStringLiteral(CHI_TEST_DATA);

// Exact comparison that also accepts NaN against NaN.
bool sameValues(const QVector<double> &a, const QVector<double> &b)
{
    if (a.size() != b.size())
        return false;
    for (int i = 0; i < a.size(); ++i) {
        if (!(a[i] == b[i] || (std::isnan(a[i]) && std::isnan(b[i]))))
            return false;
    }
    return true;
}

// Peak resident memory (kB) since the last resetPeak(), -1 if unknown (Linux only).
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

bool resetPeak()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    return clear.open(QIODevice::WriteOnly) && clear.write("5") == 1;
}

} // namespace

void TstChiReader::init()
{
    QVERIFY(dir.isValid());
}

QString TstChiReader::writeFile(const QString &name, const QByteArray &bytes)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return QString();
    file.write(bytes);
    return path;
}

void TstChiReader::feffFiles_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("points");
    QTest::addColumn<double>("firstChi");
    QTest::addColumn<double>("lastChi");
    QTest::addColumn<double>("chiMin");
    QTest::addColumn<double>("chiMax");
    // Expected values from the files by a short Python script (split(),
    // float()) that follows the header rules independently.
    QTest::newRow("total chi.dat")
        << "chi.dat" << 401 << -0.3152744 << 0.01031053 << -0.4153992 << 0.1813604;
    QTest::newRow("path 1 chip0001.dat")
        << "chip0001.dat" << 401 << -0.4594932 << 0.003860102 << -0.4594932 << 0.2205626;
    QTest::newRow("path 5 chip0005.dat")
        << "chip0005.dat" << 401 << -0.2991134 << 0.004338761 << -0.309505 << 0.2163885;
}

void TstChiReader::feffFiles()
{
    QFETCH(QString, file);
    QFETCH(int, points);
    QFETCH(double, firstChi);
    QFETCH(double, lastChi);
    QFETCH(double, chiMin);
    QFETCH(double, chiMax);
    Chi chi;
    QSignalSpy logSpy(&chi, &Chi::log);
    const QString path = dataDir + QLatin1Char('/') + file;
    chi.readChiK(path);
    QVERIFY(chi.hasChiK);
    QCOMPARE(logSpy.count(), 0);
    QCOMPARE(chi.sourcePath, path);
    QCOMPARE(chi.k.size(), points);
    QCOMPARE(chi.chi.size(), points);
    QCOMPARE(chi.k.first(), 0.0);
    QCOMPARE(chi.k[1], 0.05);
    QCOMPARE(chi.k.last(), 20.0);
    QCOMPARE(chi.chi.first(), firstChi);
    QCOMPARE(chi.chi.last(), lastChi);
    QCOMPARE(chi.kExtent.min, 0.0);
    QCOMPARE(chi.kExtent.max, 20.0);
    QCOMPARE(chi.chiExtent.min, chiMin);
    QCOMPARE(chi.chiExtent.max, chiMax);
    QVERIFY(!chi.hasChiR);
}

void TstChiReader::oddFiles_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QVector<double>>("k");
    QTest::addColumn<QVector<double>>("chi");
    const double nan = std::nan("");
    const double inf = HUGE_VAL;
    QTest::newRow("FEFF header with mag, phase and marker")
        << QByteArray("# title\n      k          chi          mag           phase @#\n"
                      "     1.0000    2.000000E+00  3.0  4.0\n 1.5 -2.5e-01 5 6\n")
        << QVector<double>{1.0, 1.5} << QVector<double>{2.0, -0.25};
    QTest::newRow("hash, k and chi with blanks")
        << QByteArray("# k chi\n1 2\n") << QVector<double>{1.0} << QVector<double>{2.0};
    QTest::newRow("hash glued to k is no header")
        << QByteArray("#k chi\n1 2\n") << QVector<double>{} << QVector<double>{};
    QTest::newRow("numbers before the header are not data")
        << QByteArray("1 2\n3 4\nk chi\n5 6\n") << QVector<double>{5.0} << QVector<double>{6.0};
    QTest::newRow("blank lines inside the data")
        << QByteArray("k chi\n1 2\n\n   \n3 4\n") << QVector<double>{1.0, 3.0}
        << QVector<double>{2.0, 4.0};
    QTest::newRow("non-numeric chi reads as 0")
        << QByteArray("k chi\n1 x\n2 3\n") << QVector<double>{1.0, 2.0}
        << QVector<double>{0.0, 3.0};
    QTest::newRow("header-like lines after the data started")
        << QByteArray("k chi\n1 2\nk chi\n# k chi\n3 4") << QVector<double>{1.0, 0.0, 0.0, 3.0}
        << QVector<double>{2.0, 0.0, 0.0, 4.0};
    QTest::newRow("tabs") << QByteArray("k\tchi\n1\t2\n\t3\t\t4\t\n") << QVector<double>{1.0, 3.0}
                          << QVector<double>{2.0, 4.0};
    QTest::newRow("CRLF line ends") << QByteArray("# k chi\r\n1 2\r\n\r\n3 4\r\n")
                                    << QVector<double>{1.0, 3.0} << QVector<double>{2.0, 4.0};
    QTest::newRow("no header") << QByteArray("1 2\n3 4\n") << QVector<double>{}
                               << QVector<double>{};
    QTest::newRow("empty file") << QByteArray() << QVector<double>{} << QVector<double>{};
    QTest::newRow("header without data")
        << QByteArray("k chi\n\n") << QVector<double>{} << QVector<double>{};
    QTest::newRow("header is case-sensitive")
        << QByteArray("K CHI\n1 2\nk Chi\n3 4\n") << QVector<double>{} << QVector<double>{};
    QTest::newRow("one-field lines are skipped")
        << QByteArray("k chi\n5\n1 2\n") << QVector<double>{1.0} << QVector<double>{2.0};
    QTest::newRow("exponents and signs")
        << QByteArray("k chi\n1.5e+00 -2.3e-01\n+2 .5\n") << QVector<double>{1.5, 2.0}
        << QVector<double>{-0.23, 0.5};
    QTest::newRow("Fortran D exponent and overflow read as 0")
        << QByteArray("k chi\n1 1.0D+00\n2 1e400\n") << QVector<double>{1.0, 2.0}
        << QVector<double>{0.0, 0.0};
    QTest::newRow("nan and inf are numbers")
        << QByteArray("k chi\n1 nan\n2 inf\n") << QVector<double>{1.0, 2.0}
        << QVector<double>{nan, inf};
    QTest::newRow("Shift-JIS comment before the header")
        << QByteArray("# \x83\x66\x81\x5b\x83\x5e\nk chi\n1 2\n") << QVector<double>{1.0}
        << QVector<double>{2.0};
    QTest::newRow("UTF-8 byte-order mark")
        << QByteArray("\xef\xbb\xbfk chi\n1 2\n") << QVector<double>{1.0} << QVector<double>{2.0};
}

void TstChiReader::oddFiles()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QVector<double>, k);
    QFETCH(QVector<double>, chi);
    const QString path = writeFile(QStringLiteral("odd.dat"), bytes);
    Chi data;
    QSignalSpy logSpy(&data, &Chi::log);
    data.readChiK(path);
    QCOMPARE(logSpy.count(), 0);
    QCOMPARE(data.hasChiK, !k.isEmpty());
    QVERIFY2(sameValues(data.k, k), qPrintable(QString::number(data.k.size())));
    QVERIFY(sameValues(data.chi, chi));
    QCOMPARE(data.sourcePath, path);
    if (k.isEmpty()) {
        QCOMPARE(data.kExtent.min, 1e300);
        QCOMPARE(data.kExtent.max, -1e300);
    }
}

// Lines are looked at up to 65536 characters; the rest of a longer line
// must be skipped without losing the next line.
void TstChiReader::longLines_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QVector<double>>("k");
    const QByteArray exact(65536, 'x');
    QTest::newRow("data line with a long tail")
        << QByteArray("k chi\n1 2 ") + QByteArray(200000, 'y') + "\n3 4\n"
        << QVector<double>{1.0, 3.0};
    QTest::newRow("line of exactly the limit") << QByteArray("k chi\n") + exact + "\n5 6\n"
                                               << QVector<double>{5.0};
    QTest::newRow("data line padded to the limit")
        << QByteArray("k chi\n7 8") + QByteArray(65533, ' ') + "\n\n9 10\n"
        << QVector<double>{7.0, 9.0};
    QTest::newRow("long line at the end without line end")
        << QByteArray("k chi\n1 2\n") + exact + exact << QVector<double>{1.0};
}

void TstChiReader::longLines()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QVector<double>, k);
    Chi data;
    data.readChiK(writeFile(QStringLiteral("long.dat"), bytes));
    QCOMPARE(data.k, k);
}

void TstChiReader::extentsOfTwoPoints()
{
    Chi data;
    data.readChiK(writeFile(QStringLiteral("two.dat"), "k chi\n2 0.5\n1 -0.25\n"));
    QCOMPARE(data.k, (QVector<double>{2.0, 1.0}));
    QCOMPARE(data.kExtent.min, 1.0);
    QCOMPARE(data.kExtent.max, 2.0);
    QCOMPARE(data.chiExtent.min, -0.25);
    QCOMPARE(data.chiExtent.max, 0.5);
}

void TstChiReader::unopenablePath_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("missing file") << QStringLiteral("/no/such/dir/chi.dat");
    QTest::newRow("directory") << QStringLiteral(CHI_TEST_DATA);
    QTest::newRow("blanks and non-ASCII letters")
        << QStringLiteral("/no/such dir/Müller データ/chi.dat");
}

void TstChiReader::unopenablePath()
{
    QFETCH(QString, path);
    Chi data;
    QSignalSpy logSpy(&data, &Chi::log);
    data.readChiK(path);
    QVERIFY(!data.hasChiK);
    QVERIFY(data.k.isEmpty());
    QVERIFY(data.sourcePath.isEmpty());
    QCOMPARE(logSpy.count(), 1);
    QCOMPARE(logSpy.at(0).at(0).toString(), QStringLiteral("::Can not read chi(k) file : ") + path);
}

void TstChiReader::failedReadClearsEverything()
{
    Chi data;
    const QString good = dataDir + QStringLiteral("/chi.dat");
    data.readChiK(good);
    data.transform(3.0, 20.0, 0.0, 8.0, 0.01);
    QVERIFY(data.hasChiR);
    data.readChiK(QStringLiteral("/no/such/chi.dat"));
    QVERIFY(!data.hasChiK);
    QVERIFY(!data.hasChiR);
    QVERIFY(data.k.isEmpty() && data.chi.isEmpty());
    QVERIFY(data.r.isEmpty() && data.chiRAbs.isEmpty() && data.chiRRe.isEmpty() &&
            data.chiRIm.isEmpty());
    QCOMPARE(data.kExtent.min, 1e300);
    QCOMPARE(data.chiExtent.max, -1e300);
    QCOMPARE(data.rExtent.min, 1e300);
    QCOMPARE(data.chiRAbsExtent.max, -1e300);
    // The last file opened successfully.
    QCOMPARE(data.sourcePath, good);
}

void TstChiReader::headerlessReadClearsEverything()
{
    Chi data;
    data.readChiK(dataDir + QStringLiteral("/chip0001.dat"));
    data.transform(3.0, 20.0, 0.0, 1.0, 0.1);
    const QString plain = writeFile(QStringLiteral("plain.dat"), "1 2\n3 4\n");
    QSignalSpy logSpy(&data, &Chi::log);
    data.readChiK(plain);
    QCOMPARE(logSpy.count(), 0);
    QVERIFY(!data.hasChiK && !data.hasChiR);
    QVERIFY(data.k.isEmpty() && data.r.isEmpty());
    QCOMPARE(data.sourcePath, plain);
}

void TstChiReader::garbage_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("points");
    QRandomGenerator random(20240611);
    QByteArray noise(50 * 1024 * 1024, Qt::Uninitialized);
    random.fillRange(reinterpret_cast<quint32 *>(noise.data()), noise.size() / 4);
    QTest::newRow("50 MB of random bytes") << noise << 0;
    QByteArray oneLine;
    oneLine.reserve(50 * 1024 * 1024);
    while (oneLine.size() < 50 * 1024 * 1024)
        oneLine += "k chi 1.5 -2 ";
    QTest::newRow("50 MB in one line without line end") << oneLine << 0;
    QByteArray binary;
    for (int i = 0; i < 4096; ++i)
        binary += char(i % 256);
    QTest::newRow("binary bytes 0 to 255") << binary << 0;
    QTest::newRow("header, then 10 MB of random bytes")
        << QByteArray("k chi\n1 2\n") + noise.left(10 * 1024 * 1024) << -1;
}

void TstChiReader::garbage()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, points);
    const QString path = writeFile(QStringLiteral("garbage.dat"), bytes);
    bytes.clear();
    bytes.squeeze();
    const bool measured = resetPeak();
    const qint64 before = statusKb("VmRSS:");
    Chi data;
    QSignalSpy logSpy(&data, &Chi::log);
    data.readChiK(path);
    QCOMPARE(logSpy.count(), 0);
    if (points >= 0) {
        QCOMPARE(data.hasChiK, points > 0);
        QCOMPARE(data.k.size(), points);
    } else {
        // Every line with two fields after the header counts, as 0.0 where
        // it is no number; the first point is the real one.
        QVERIFY(data.hasChiK);
        QCOMPARE(data.k.first(), 1.0);
        QCOMPARE(data.chi.first(), 2.0);
        QCOMPARE(data.k.size(), data.chi.size());
    }
    // Lines are never held whole, so reading costs far less than the file.
    if (measured && before > 0)
        QVERIFY2(statusKb("VmHWM:") - before < 16 * 1024,
                 qPrintable(QStringLiteral("peak grew by %1 kB").arg(statusKb("VmHWM:") - before)));
}

void TstChiReader::millionLines()
{
    const QString path = dir.filePath(QStringLiteral("million.dat"));
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("# k chi\n");
        QByteArray line;
        for (int i = 0; i < 1000000; ++i) {
            line.setNum(i);
            file.write(line + ".5 " + QByteArray::number(-i) + "e-6\n");
        }
    }
    Chi data;
    data.readChiK(path);
    QVERIFY(data.hasChiK);
    QCOMPARE(data.k.size(), 1000000);
    QCOMPARE(data.k.first(), 0.5);
    QCOMPARE(data.k.last(), 999999.5);
    QCOMPARE(data.chi.last(), -0.999999);
    QCOMPARE(data.kExtent.min, 0.5);
    QCOMPARE(data.kExtent.max, 999999.5);
    QCOMPARE(data.chiExtent.min, -0.999999);
    QCOMPARE(data.chiExtent.max, 0.0);
}

QTEST_GUILESS_MAIN(TstChiReader)
#include "tst_chireader.moc"
