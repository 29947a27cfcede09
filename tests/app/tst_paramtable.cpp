#include "app/paramtable.h"

#include <QTemporaryDir>
#include <QTextCodec>
#include <QtTest>

namespace {

// Builds the table from a space-separated command line (argv[0] included).
ParamTable commandLine(const QString &line)
{
    const QList<QByteArray> words = line.toUtf8().split(' ');
    std::vector<const char *> argv;
    for (const QByteArray &w : words)
        argv.push_back(w.constData());
    return ParamTable(int(argv.size()), argv.data());
}

} // namespace

class TstParamTable : public QObject
{
    Q_OBJECT
private slots:
    void init() { QVERIFY(dir.isValid()); }
    void commandLine_data();
    void commandLine();
    void fileLines_data();
    void fileLines();
    void lookups();
    void missingFileLeavesTableEmpty();
    void encodings_data();
    void encodings();
    void binaryAndHugeFiles();

private:
    QString writeFile(const QByteArray &bytes);
    QTemporaryDir dir;
    int fileCount = 0;
};

QString TstParamTable::writeFile(const QByteArray &bytes)
{
    const QString name = dir.filePath(QString("cfg%1.cfg").arg(++fileCount));
    QFile f(name);
    if (!f.open(QIODevice::WriteOnly))
        qFatal("cannot write test file");
    f.write(bytes);
    return name;
}

void TstParamTable::commandLine_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("key");
    QTest::addColumn<bool>("present");
    QTest::addColumn<QString>("value");
    QTest::newRow("-c with file") << "prog -c my.cfg"
                                  << "-c" << true << "my.cfg";
    QTest::newRow("-c then option") << "prog -c -noGui"
                                    << "-c" << true << "";
    QTest::newRow("option after empty -c") << "prog -c -noGui"
                                           << "-noGui" << true << "";
    QTest::newRow("stray word after -e is its value") << "prog -e stray"
                                                      << "-e" << true << "stray";
    QTest::newRow("stray word is no key") << "prog -e stray"
                                          << "stray" << false << "";
    QTest::newRow("upper-case -C is another key") << "prog -C my.cfg"
                                                  << "-c" << false << "";
    QTest::newRow("first occurrence wins") << "prog -c a.cfg -c b.cfg"
                                           << "-c" << true << "a.cfg";
    QTest::newRow("option at the end") << "prog -config"
                                       << "-config" << true << "";
    QTest::newRow("UTF-8 value") << "prog -c Ärger日本.cfg"
                                 << "-c" << true << "Ärger日本.cfg";
}

void TstParamTable::commandLine()
{
    QFETCH(QString, line);
    QFETCH(QString, key);
    QFETCH(bool, present);
    QFETCH(QString, value);
    const ParamTable table = ::commandLine(line);
    QCOMPARE(table.hasKey(key), present);
    QCOMPARE(table.exactValue(key), value);
}

void TstParamTable::fileLines_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("rest");
    QTest::newRow("value and rest") << QByteArray("feff_inp PRINT 1 0 0 3\n") << "feff_inp"
                                    << "PRINT"
                                    << " PRINT 1 0 0 3";
    QTest::newRow("comment after value") << QByteArray("MAX_PROC 3 # three\n") << "MAX_PROC"
                                         << "3"
                                         << " 3 ";
    QTest::newRow("hash right after key") << QByteArray("MAX_PROC# 3\n") << "MAX_PROC"
                                          << ""
                                          << "";
    QTest::newRow("key alone") << QByteArray("K_MIN\n") << "K_MIN"
                               << ""
                               << "";
    QTest::newRow("unquoted words keep the first")
        << QByteArray("ATOMS_ARG -S datoms\n") << "ATOMS_ARG"
        << "-S"
        << " -S datoms";
    QTest::newRow("quoted words stay together")
        << QByteArray("ATOMS_ARG \"-S   datoms\"\n") << "ATOMS_ARG"
        << "-S   datoms"
        << " \"-S   datoms\"";
    QTest::newRow("CRLF line ends") << QByteArray("R_MAX 6.5\r\nK_MIN 2\r\n") << "K_MIN"
                                    << "2"
                                    << " 2";
    QTest::newRow("blank and comment lines skipped")
        << QByteArray("\n   \n# K_MIN 9\n\tK_MIN 2.5\n") << "K_MIN"
        << "2.5"
        << " 2.5";
}

void TstParamTable::fileLines()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QString, rest);
    ParamTable table;
    table.readFile(writeFile(content));
    QVERIFY(table.hasKey(key));
    QCOMPARE(table.exactValue(key), value);
    QCOMPARE(table.rests(key).value(0), rest);
}

void TstParamTable::lookups()
{
    ParamTable table;
    table.readFile(writeFile("k_min 2.5\nK_MIN 9\nfeff_inp RMAX 5\nFEFF_INP RMAX 6\n"));
    QCOMPARE(table.value("K_MIN", "3.0"), QString("2.5")); // any case, first wins
    QCOMPARE(table.value("R_MAX", "8.0"), QString("8.0"));
    QVERIFY(table.hasKey("k_min"));
    QCOMPARE(table.exactValue("K_MIN"), QString("9"));
    QCOMPARE(table.rests("Feff_Inp"), QStringList({" RMAX 5", " RMAX 6"}));
    QCOMPARE(table.size(), 4);
}

void TstParamTable::missingFileLeavesTableEmpty()
{
    ParamTable table;
    const QString name = dir.filePath("absent.cfg");
    QTest::ignoreMessage(QtDebugMsg, qPrintable("Can't open config file :  \"" + name + "\""));
    table.readFile(name);
    QCOMPARE(table.size(), 0);
    QTest::ignoreMessage(QtDebugMsg, "Can't open config file :  \"\"");
    table.readFile(QString());
    QCOMPARE(table.size(), 0);
    QTest::ignoreMessage(QtDebugMsg,
                         qPrintable("Can't open config file :  \"" + dir.path() + "\""));
    table.readFile(dir.path()); // a directory
    QCOMPARE(table.size(), 0);
}

void TstParamTable::encodings_data()
{
    const QString value = QStringLiteral("結果ö");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("value");
    QTest::newRow("Shift-JIS without mark")
        << QByteArray("RES_FILES ") + QTextCodec::codecForName("Shift-JIS")->fromUnicode("結果")
        << QStringLiteral("結果");
    QTest::newRow("UTF-8 with mark")
        << QByteArray("\xEF\xBB\xBFRES_FILES ") + value.toUtf8() << value;
    QByteArray utf16("\xFF\xFE", 2);
    const QString line = "RES_FILES " + value;
    utf16.append(reinterpret_cast<const char *>(line.utf16()), line.size() * 2);
    QTest::newRow("UTF-16 with mark") << utf16 << value;
}

void TstParamTable::encodings()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, value);
    ParamTable table;
    table.readFile(writeFile(content));
    QVERIFY(table.hasKey("RES_FILES"));
    QCOMPARE(table.exactValue("RES_FILES"), value);
}

void TstParamTable::binaryAndHugeFiles()
{
    QByteArray binary;
    for (int i = 0; i < 4096; ++i)
        binary.append(char((i * 37) & 0xff));
    ParamTable garbage;
    garbage.readFile(writeFile(binary)); // must simply not crash
    QVERIFY(!garbage.hasKey("MAX_PROC"));

    QByteArray huge = "MAX_PROC 2 " + QByteArray(10 * 1024 * 1024, 'x') + "\nK_MIN 1.5\n";
    ParamTable big;
    big.readFile(writeFile(huge));
    QCOMPARE(big.value("MAX_PROC", "6"), QString("2"));
    QCOMPARE(big.value("K_MIN", "3.0"), QString("1.5"));
}

QTEST_GUILESS_MAIN(TstParamTable)
#include "tst_paramtable.moc"
