#include "app/feffinp.h"
#include "app/textfuncs.h"

#include <QtTest>

class TstTextFuncs : public QObject
{
    Q_OBJECT
private slots:
    void takeToken_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("token");
        QTest::addColumn<QString>("rest");
        auto row = [](const char *name, const char *text, const char *token, const char *rest) {
            QTest::newRow(name) << text << token << rest;
        };
        row("leading blanks and tab", " \t K_MIN\t2.5", "K_MIN", "\t2.5");
        row("quoted with blanks", "\"-S   datoms\" x", "-S   datoms", " x");
        row("quote without end", " \"open ended text", "open ended text", "");
        row("quote inside a word", "ab\"cd ef", "ab\"cd", " ef");
    }
    void takeToken()
    {
        QFETCH(QString, text);
        QFETCH(QString, token);
        QFETCH(QString, rest);
        QCOMPARE(::takeToken(text), std::make_pair(token, rest));
    }

    void joinPath_data()
    {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::addColumn<QString>("joined");
        auto row = [](const char *name, const char *first, const char *second, const char *joined) {
            QTest::newRow(name) << first << second << joined;
        };
        row("no slashes", "C:/DemeterPerl", "c/bin", "C:/DemeterPerl/c/bin");
        row("many slashes", "/base///", "///x", "/base/x");
    }
    void joinPath()
    {
        QFETCH(QString, first);
        QFETCH(QString, second);
        QTEST(::joinPath(first, second), "joined");
    }

    void comments_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("stripped");
        QTest::addColumn<bool>("blank");
        auto row = [](const char *name, const char *line, const char *stripped, bool blank) {
            QTest::newRow(name) << line << stripped << blank;
        };
        row("hash inside quotes still ends", "A \"x#y\"", "A \"x", false);
        row("comment only", "  # note", "  ", true);
        row("blank with tab", " \t ", " \t ", true);
    }
    void comments()
    {
        QFETCH(QString, line);
        QTEST(stripComment(line), "stripped");
        QTEST(isBlankLine(line), "blank");
    }

    void parseFeffInp_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("commented");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("cardText");
        auto row = [](const char *text, bool commented, const char *name, const char *cardText) {
            QTest::newRow(text) << text << commented << name << cardText;
        };
        row("RMAX   6.0", false, "RMAX", "6.0");
        row("%RMAX 6.0", true, "RMAX", "6.0");
        row("\"TITLE\"  my run  ", false, "TITLE", "my run  ");
    }
    void parseFeffInp()
    {
        QFETCH(QString, text);
        QScopedPointer<FeffInp> entry(::parseFeffInp(text));
        QTEST(entry->commented, "commented");
        QTEST(entry->name, "name");
        QTEST(entry->text, "cardText");
    }

    // A later entry for the same card replaces the earlier one where it stands.
    void putFeffInpReplacesInPlace()
    {
        FeffInpList list;
        for (const char *card : {"RMAX 5.0", "PRINT 1 0 0 3", "%RMAX 6.0"})
            putFeffInp(list, ::parseFeffInp(card));
        QCOMPARE(list.size(), 2);
        QCOMPARE(findFeffInp(list, "RMAX"), 0);
        QCOMPARE(list.at(0)->text, QString("6.0"));
        QVERIFY(list.at(0)->commented);
        QCOMPARE(findFeffInp(list, "PRINT"), 1);
        QCOMPARE(findFeffInp(list, "rmax"), -1);
        qDeleteAll(list);
    }
};

QTEST_APPLESS_MAIN(TstTextFuncs)
#include "tst_textfuncs.moc"
