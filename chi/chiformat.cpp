#include "chi/chiformat.h"

QString formatSci(double value, int width)
{
    QString text = QString::asprintf("%e", value);
    if (!text.startsWith(QLatin1Char('-')))
        text.prepend(QLatin1Char(' '));
    return text + spaces(width - text.size());
}

QString padText(const QString &text, int width, bool alignRight)
{
    if (text.size() < width) {
        const QString fill = spaces(width - text.size());
        return alignRight ? fill + text : text + fill;
    }
    const int kept = qMax(width, 0);
    return alignRight ? text.right(kept) : text.left(kept);
}

QString spaces(int n)
{
    return n > 0 ? QString(n, QLatin1Char(' ')) : QString();
}
