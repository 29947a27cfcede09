#include "plot/drawtext.h"

#include <QFont>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

constexpr double referencePointSize = 10;

} // namespace

DrawText::DrawText(QObject *parent) : QObject(parent) {}

void DrawText::fitText(QPainter *p, QRectF &rect, const QFont &font, int flags, int mode,
                       const QString &text, double maxPointSize)
{
    rect = rect.normalized();
    if (mode == Fit) {
        QFont fitted(font);
        fitted.setPointSizeF(referencePointSize);
        p->setFont(fitted);
        const QRectF measured = p->boundingRect(QRectF(0, 0, 5000, 5000), flags, text);
        const double size = fittedPointSize(rect.size(), measured.size(), maxPointSize);
        // A collapsed rectangle has no room for any size: draw nothing rather
        // than hand the font an invalid size.
        if (!(size > 0) || !std::isfinite(size)) {
            p->setFont(font);
            return;
        }
        fitted.setPointSizeF(size);
        p->setFont(fitted);
    } else {
        p->setFont(font);
    }
    p->drawText(rect, flags, text);
    p->setFont(font);
}

QRectF DrawText::centeredRect(double cx, double cy, double width, double height)
{
    return QRectF(cx - width * 0.5, cy - height * 0.5, width, height);
}

double DrawText::fittedPointSize(const QSizeF &box, const QSizeF &measuredAt10, double maxPointSize)
{
    const double sx = measuredAt10.width() != 0 ? box.width() / measuredAt10.width() : 1;
    const double sy = measuredAt10.height() != 0 ? box.height() / measuredAt10.height() : 1;
    double size = referencePointSize * std::min(sx, sy);
    if (maxPointSize > 0)
        size = std::min(size, maxPointSize);
    return size;
}
