#include "app/textfuncs.h"

#include <QDir>
#include <QTextCodec>
#include <QTextStream>

#include <cmath>

QString joinPath(const QString &first, const QString &second)
{
    int end = first.size();
    while (end > 0 && first.at(end - 1) == QLatin1Char('/'))
        --end;
    int start = 0;
    while (start < second.size() && second.at(start) == QLatin1Char('/'))
        ++start;
    return first.left(end) + QLatin1Char('/') + second.mid(start);
}

QString nativePath(const QString &text)
{
    QString result = text;
    return result.replace(QLatin1Char('/'), QDir::separator());
}

std::pair<QString, QString> takeToken(const QString &text)
{
    int pos = 0;
    while (pos < text.size() && text.at(pos).isSpace())
        ++pos;
    if (pos == text.size())
        return {QString(), QString()};
    if (text.at(pos) == QLatin1Char('"')) {
        const int close = text.indexOf(QLatin1Char('"'), pos + 1);
        if (close < 0)
            return {text.mid(pos + 1), QString()};
        return {text.mid(pos + 1, close - pos - 1), text.mid(close + 1)};
    }
    int end = pos;
    while (end < text.size() && !text.at(end).isSpace())
        ++end;
    return {text.mid(pos, end - pos), text.mid(end)};
}

QString trimLeft(const QString &text)
{
    for (int i = 0; i < text.size(); ++i) {
        if (!text.at(i).isSpace())
            return text.mid(i);
    }
    return text;
}

QString stripComment(const QString &line)
{
    const int hash = line.indexOf(QLatin1Char('#'));
    return hash < 0 ? line : line.left(hash);
}

bool isBlankLine(const QString &line)
{
    return stripComment(line).trimmed().isEmpty();
}

QTextCodec *fileTextCodec()
{
    static QTextCodec *const codec = QTextCodec::codecForName("Shift-JIS");
    return codec;
}

void useFileCodec(QTextStream &stream)
{
    if (QTextCodec *codec = fileTextCodec())
        stream.setCodec(codec);
}

QString tableField(QString text)
{
    for (QChar &c : text)
        if (c == QLatin1Char('\t') || c == QLatin1Char('\n') || c == QLatin1Char('\r'))
            c = QLatin1Char('?');
    return text;
}

QString tableNumber(double value)
{
    return std::isfinite(value) ? QString::number(value, 'g', 6) : QStringLiteral("nan");
}
