#include <QFile>
#include <QHash>
#include <QProcess>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

namespace {

// Each message of a .ts file by context and source text: its translation,
// or empty for one not made yet.
struct Message
{
    QString translation;
    bool finished = false;
};
using Messages = QHash<QString, Message>;

QString keyOf(const QString &context, const QString &source)
{
    return context + QLatin1String(" | ") + source;
}

Message readMessage(QXmlStreamReader &xml, QString &source)
{
    Message m;
    while (xml.readNextStartElement()) {
        if (xml.name() == QLatin1String("source")) {
            source = xml.readElementText();
        } else if (xml.name() == QLatin1String("translation")) {
            const QString type = xml.attributes().value(QLatin1String("type")).toString();
            m.finished = type.isEmpty();
            m.translation = xml.readElementText(QXmlStreamReader::IncludeChildElements);
        } else {
            xml.skipCurrentElement();
        }
    }
    return m;
}

bool readTs(const QString &path, Messages &out)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QXmlStreamReader xml(&file);
    QString context;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (xml.name() == QLatin1String("name")) {
            context = xml.readElementText();
        } else if (xml.name() == QLatin1String("message")) {
            QString source;
            const Message m = readMessage(xml, source);
            out.insert(keyOf(context, source), m);
        }
    }
    return !xml.hasError();
}

} // namespace

// Every text the program marks for translation has its Japanese in the
// translation file, and the file holds nothing the program no longer says:
// lupdate, run over the sources on a copy, finds nothing to add or remove.
class TstTranslations : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        if (QString(LUPDATE_EXE).isEmpty() || QString(LUPDATE_EXE).endsWith("-NOTFOUND"))
            QSKIP("lupdate is not installed (scripts/setup.sh installs qttools5-dev-tools)");
        QVERIFY(dir.isValid());
        QVERIFY(readTs(TS_FILE, shipped));
        const QString copy = dir.filePath("copy.ts");
        QVERIFY(QFile::copy(TS_FILE, copy));
        QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner);
        QProcess lupdate;
        lupdate.setWorkingDirectory(SOURCE_DIR);
        lupdate.start(LUPDATE_EXE, {"-no-obsolete", "-locations", "none", "app", "jobs", "chi",
                                    "plot", "gui", "data", "fit", "-ts", copy});
        QVERIFY(lupdate.waitForFinished(120000));
        QCOMPARE(lupdate.exitCode(), 0);
        QVERIFY(readTs(copy, updated));
        QVERIFY(!shipped.isEmpty());
    }

    void everyTextTranslated()
    {
        QStringList missing;
        for (auto it = updated.cbegin(); it != updated.cend(); ++it)
            if (!shipped.contains(it.key()) || !shipped[it.key()].finished ||
                shipped[it.key()].translation.isEmpty())
                missing << it.key();
        missing.sort();
        QCOMPARE(missing, QStringList());
    }

    void nothingObsolete()
    {
        QStringList obsolete;
        for (auto it = shipped.cbegin(); it != shipped.cend(); ++it)
            if (!updated.contains(it.key()))
                obsolete << it.key();
        obsolete.sort();
        QCOMPARE(obsolete, QStringList());
    }

private:
    QTemporaryDir dir;
    Messages shipped;
    Messages updated;
};

QTEST_GUILESS_MAIN(TstTranslations)
#include "tst_translations.moc"
