#include "app/paramtable.h"
#include "tests/testfiles.h"

#include <QTemporaryDir>
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

    void commandLine_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("key");
        QTest::addColumn<bool>("present");
        QTest::addColumn<QString>("value");
        auto row = [](const char *line, const char *key, bool present, const char *value) {
            QTest::newRow(qPrintable(QString("%1: %2").arg(line, key)))
                << line << key << present << value;
        };
        row("prog -c -noGui", "-c", true, "");
        row("prog -c -noGui", "-noGui", true, "");
        row("prog -e stray", "-e", true, "stray");
        row("prog -c a.cfg -c b.cfg", "-c", true, "a.cfg");
        row("prog -c Ärger日本.cfg", "-c", true, "Ärger日本.cfg");
    }
    void commandLine()
    {
        QFETCH(QString, line);
        QFETCH(QString, key);
        const ParamTable table = ::commandLine(line);
        QTEST(table.hasKey(key), "present");
        QTEST(table.exactValue(key), "value");
    }

    // Shift-JIS without a byte-order mark, else what the mark says.
    void fileLines_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("rest");
        auto row = [](const char *name, const QByteArray &content, const char *key,
                      const QString &value, const QString &rest) {
            QTest::newRow(name) << content << key << value << rest;
        };
        row("value and rest", "feff_inp PRINT 1 0 0 3\n", "feff_inp", "PRINT", " PRINT 1 0 0 3");
        row("comment after value", "MAX_PROC 3 # three\n", "MAX_PROC", "3", " 3 ");
        row("quoted words stay together", "ATOMS_ARG \"-S   datoms\"\n", "ATOMS_ARG", "-S   datoms",
            " \"-S   datoms\"");
        row("CRLF, blank and comment lines", "\r\n   \r\n# K_MIN 9\r\n\tK_MIN 2.5\r\n", "K_MIN",
            "2.5", " 2.5");
        row("Shift-JIS", "RES_FILES \x8c\x8b\x89\xca", "RES_FILES", "結果", " 結果");
        row("UTF-8 with mark", "\xEF\xBB\xBFRES_FILES 結果ö", "RES_FILES", "結果ö", " 結果ö");
    }
    void fileLines()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, key);
        ParamTable table;
        table.readFile(writeFile(content));
        QCOMPARE(table.size(), 1);
        QTEST(table.exactValue(key), "value");
        QTEST(table.rests(key).value(0), "rest");
    }

    void unreadableFiles()
    {
        ParamTable table;
        QTest::ignoreMessage(QtDebugMsg,
                             qPrintable("Can't open config file :  \"" + dir.path() + "\""));
        table.readFile(dir.path()); // a directory
        QCOMPARE(table.size(), 0);

        QByteArray binary;
        for (int i = 0; i < 4096; ++i)
            binary.append(char((i * 37) & 0xff));
        table.readFile(writeFile(binary)); // must simply not crash
        QVERIFY(!table.hasKey("MAX_PROC"));

        ParamTable big;
        big.readFile(
            writeFile("MAX_PROC 2 " + QByteArray(10 * 1024 * 1024, 'x') + "\nK_MIN 1.5\n"));
        QCOMPARE(big.value("MAX_PROC", "6"), QString("2"));
        QCOMPARE(big.value("K_MIN", "3.0"), QString("1.5"));
    }

private:
    QString writeFile(const QByteArray &bytes)
    {
        const QString name = dir.filePath(QString("cfg%1.cfg").arg(++fileCount));
        return ::writeFile(name, bytes) ? name : QString();
    }
    QTemporaryDir dir;
    int fileCount = 0;
};

QTEST_GUILESS_MAIN(TstParamTable)
#include "tst_paramtable.moc"
