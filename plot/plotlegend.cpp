#include "plot/plotlegend.h"

#include "plot/chcoord.h"
#include "plot/dataline.h"
#include "plot/pixelmap.h"

#include <QFontMetrics>
#include <QPainter>
#include <QSet>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr int margin = 6;  // from the plot area's edges
constexpr int padding = 4; // inside the box
constexpr int sample = 22; // length of the pen sample

// The positions whose pixel, cut toward zero, is one of first ..
// first + length - 1, as the half-open range [lo, hi): one comparison each
// way per point instead of a cut. NaN is in no range.
struct PixelSpan
{
    PixelSpan(int first, int length)
    {
        const double inf = std::numeric_limits<double>::infinity();
        const int last = first + length - 1;
        lo = first >= 1 ? first : std::nextafter(double(first) - 1, inf);
        hi = last >= 0 ? double(last) + 1 : std::nextafter(double(last), inf);
    }
    bool has(double v) const { return v >= lo && v < hi; }

    double lo, hi;
};

} // namespace

QVector<PlotLegend::Entry> PlotLegend::entries(const QVector<PlotCurve> &curves)
{
    QVector<Entry> list;
    QSet<QString> seen;
    for (const PlotCurve &c : curves) {
        // A shown job or site group without data yet (running, failed)
        // draws nothing, so the legend names nothing for it.
        if (c.x.isEmpty() || c.y.isEmpty())
            continue;
        // The components of one curve share a line.
        const QString key = c.job + QLatin1Char('\n') + c.path;
        if (seen.contains(key))
            continue;
        seen.insert(key);
        list.append({c.path.isEmpty() ? c.job : QStringLiteral("   ") + c.path, c.color, c.width,
                     c.dashes, c.markers});
    }
    return list;
}

// A legend taller than half the plot ends with a line that counts the rest.
QVector<PlotLegend::Entry> PlotLegend::fitted(QVector<Entry> all, int rows)
{
    if (all.size() <= rows || rows < 2)
        return rows < 1 ? QVector<Entry>() : all.mid(0, rows);
    const int rest = all.size() - (rows - 1);
    all.resize(rows - 1);
    all.append({tr("… and %1 more").arg(rest), Qt::black, 0, {}, false});
    return all;
}

QRect PlotLegend::draw(QPainter *p, const ChCoord &c, const QVector<PlotCurve> &curves)
{
    const QFontMetrics metrics = p->fontMetrics();
    const int line = metrics.height();
    const int plotHeight = int(c.plotBottom - c.plotTop);
    const QVector<Entry> list = fitted(entries(curves), (plotHeight / 2 - 2 * padding) / line);
    if (list.isEmpty())
        return QRect();
    int textWidth = 0;
    for (const Entry &e : list)
        textWidth = std::max(textWidth, metrics.horizontalAdvance(e.text));
    const QSize size(2 * padding + sample + padding + textWidth, 2 * padding + line * list.size());
    if (size.width() > int(c.plotRight - c.plotLeft) - 2 * margin)
        return QRect();
    const QRect box = place(c, size, curves);

    p->save();
    p->setPen(QColor(180, 180, 180));
    p->setBrush(Qt::white);
    p->drawRect(box.adjusted(0, 0, -1, -1));
    for (int i = 0; i < list.size(); ++i) {
        const int top = box.top() + padding + i * line;
        const int middle = top + line / 2;
        if (list[i].width > 0) {
            // The curve's own pen and marks, so the sample tells its kind.
            p->setPen(curvePen(list[i].color, list[i].width, list[i].dashes));
            p->drawLine(box.left() + padding, middle, box.left() + padding + sample, middle);
            if (list[i].markers) {
                p->setPen(QPen(list[i].color, 1));
                p->drawEllipse(QPointF(box.left() + padding + sample / 2.0, middle), 2.5, 2.5);
            }
        }
        p->setPen(Qt::black);
        p->drawText(QRect(box.left() + 2 * padding + sample, top, textWidth, line),
                    Qt::AlignLeft | Qt::AlignVCenter, list[i].text);
    }
    p->restore();
    return box;
}

// A point counts for a corner when the pixel it is drawn at (the position
// cut toward zero, as the curves draw it) lies in the corner's box. The
// comparisons stay in floating point: a point far outside after a deep zoom
// has no int pixel.
QRect PlotLegend::place(const ChCoord &c, const QSize &size, const QVector<PlotCurve> &curves)
{
    const int left = int(c.plotLeft) + margin;
    const int right = int(c.plotRight) - margin - size.width();
    const int top = int(c.plotTop) + margin;
    const int bottom = int(c.plotBottom) - margin - size.height();
    const QRect corners[] = {QRect(QPoint(right, top), size), QRect(QPoint(left, top), size),
                             QRect(QPoint(right, bottom), size), QRect(QPoint(left, bottom), size)};
    const PixelSpan rightColumn(right, size.width()), leftColumn(left, size.width());
    const PixelSpan topRow(top, size.height()), bottomRow(bottom, size.height());
    const PixelMap map(c);
    int covered[4] = {0, 0, 0, 0};
    for (const PlotCurve &curve : curves) {
        const int n = std::min(curve.x.size(), curve.y.size());
        for (int i = 0; i < n; ++i) {
            const double px = map.x(curve.x[i]);
            const bool atRight = rightColumn.has(px);
            const bool atLeft = leftColumn.has(px);
            if (!atRight && !atLeft)
                continue;
            const double py = map.y(curve.y[i]);
            const bool atTop = topRow.has(py);
            const bool atBottom = bottomRow.has(py);
            covered[0] += atRight && atTop;
            covered[1] += atLeft && atTop;
            covered[2] += atRight && atBottom;
            covered[3] += atLeft && atBottom;
        }
    }
    return corners[std::min_element(covered, covered + 4) - covered];
}
