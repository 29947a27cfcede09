#include "plot/axistitles.h"

#include "plot/chcoord.h"

#include <QApplication>
#include <QPainter>

#include <cmath>

namespace {

QString superscript(int n)
{
    static const QChar digits[] = {0x2070, 0x00B9, 0x00B2, 0x00B3, 0x2074,
                                   0x2075, 0x2076, 0x2077, 0x2078, 0x2079};
    QString s;
    for (const QChar c : QString::number(n))
        s += digits[c.digitValue()];
    return s;
}

const QString chiK = QStringLiteral("χ(k)");

} // namespace

QString AxisTitles::inverseAngstrom(int power)
{
    return QStringLiteral("Å⁻") + superscript(power);
}

AxisTitles::Titles AxisTitles::chiK(int kWeight)
{
    Titles t;
    t.x = QStringLiteral("k (%1)").arg(inverseAngstrom(1));
    if (kWeight <= 0)
        t.y = ::chiK;
    else
        t.y = QStringLiteral("k%1·%2 (%3)")
                  .arg(kWeight == 1 ? QString() : superscript(kWeight), ::chiK,
                       inverseAngstrom(kWeight));
    return t;
}

AxisTitles::Titles AxisTitles::chiR(const TransformArgs &args, bool abs, bool re, bool im)
{
    Titles t;
    t.x = QStringLiteral("R (Å)");
    const int parts = int(abs) + int(re) + int(im);
    QString y = parts != 1 ? QStringLiteral("χ(R)")
                : abs      ? QStringLiteral("|χ(R)|")
                : re       ? QStringLiteral("Re χ(R)")
                           : QStringLiteral("Im χ(R)");
    if (args.ft.standard)
        y += QStringLiteral(" (%1)").arg(inverseAngstrom(args.ft.kWeight + 1));
    t.y = y;
    t.note = transformNote(args);
    return t;
}

QString AxisTitles::transformNote(const TransformArgs &t)
{
    const QString kRange = QStringLiteral("%1–%2 %3")
                               .arg(t.kMin, 0, 'g', 4)
                               .arg(t.kMax, 0, 'g', 4)
                               .arg(inverseAngstrom(1));
    if (!t.ft.standard)
        return tr("plain sums over k %1: no k weight, no window").arg(kRange);
    const QString window =
        t.ft.dk > 0 ? tr("Hanning window dk %1 %2").arg(t.ft.dk, 0, 'g', 4).arg(inverseAngstrom(1))
                    : tr("box window");
    return tr("standard transform, k weight %1, %2, k %3").arg(t.ft.kWeight).arg(window, kRange);
}

void AxisTitles::draw(QPainter *p, const ChCoord &c, const Titles &titles)
{
    const double top = std::min(c.frameTop, c.frameBottom);
    const double bottom = std::max(c.frameTop, c.frameBottom);
    const double plotTop = std::min(c.plotTop, c.plotBottom);
    const double plotBottom = std::max(c.plotTop, c.plotBottom);
    const double left = std::min(c.frameLeft, c.frameRight);
    const double right = std::max(c.frameLeft, c.frameRight);
    const double plotLeft = std::min(c.plotLeft, c.plotRight);
    const double plotRight = std::max(c.plotLeft, c.plotRight);
    if (plotTop - top < 4 || bottom - plotBottom < 4)
        return;
    // The font shrinks to the margin's height, so a small window keeps its
    // titles inside the margins.
    QFont font = QApplication::font();
    const double room = std::min(plotTop - top, (bottom - plotBottom) / 2);
    const QFontMetricsF m(font);
    if (m.height() > room && font.pointSizeF() > 0)
        font.setPointSizeF(std::max(4.0, font.pointSizeF() * room / m.height()));
    p->save();
    p->setFont(font);
    p->setPen(Qt::black);
    const QRectF above(left + 2, top, right - left - 4, plotTop - top);
    p->drawText(QRectF(plotLeft, top, plotRight - plotLeft, plotTop - top),
                Qt::AlignLeft | Qt::AlignVCenter, titles.y);
    if (!titles.note.isEmpty()) {
        p->setPen(QColor(60, 60, 60));
        p->drawText(above, Qt::AlignRight | Qt::AlignVCenter, titles.note);
        p->setPen(Qt::black);
    }
    // The tick labels take the first half of the bottom margin.
    const double half = (bottom - plotBottom) / 2;
    p->drawText(QRectF(plotLeft, plotBottom + half, plotRight - plotLeft, half),
                Qt::AlignRight | Qt::AlignVCenter, titles.x);
    p->restore();
}
