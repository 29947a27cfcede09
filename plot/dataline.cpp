#include "plot/dataline.h"

#include "plot/pixelmap.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr double clipLimit = 1e5;    // pixels from the surface origin
constexpr double breakLimit = 1e150; // beyond this a point counts as missing

bool inside(const QPointF &p)
{
    return std::fabs(p.x()) <= clipLimit && std::fabs(p.y()) <= clipLimit;
}

// Liang-Barsky: cuts the segment a-b to the square of half-width clipLimit.
// False when no part of it lies inside.
bool clipSegment(QPointF &a, QPointF &b)
{
    const double dx = b.x() - a.x();
    const double dy = b.y() - a.y();
    double t0 = 0;
    double t1 = 1;
    auto edge = [&](double p, double q) {
        if (p == 0)
            return q >= 0;
        const double r = q / p;
        if (p < 0) {
            if (r > t1)
                return false;
            t0 = std::max(t0, r);
        } else {
            if (r < t0)
                return false;
            t1 = std::min(t1, r);
        }
        return true;
    };
    if (!edge(-dx, a.x() + clipLimit) || !edge(dx, clipLimit - a.x()) ||
        !edge(-dy, a.y() + clipLimit) || !edge(dy, clipLimit - a.y()))
        return false;
    b = QPointF(a.x() + t1 * dx, a.y() + t1 * dy);
    a = QPointF(a.x() + t0 * dx, a.y() + t0 * dy);
    return true;
}

class LineBuilder
{
public:
    explicit LineBuilder(QPainter *p, int size) : painter(p) { run.reserve(size_t(size)); }
    ~LineBuilder() { flush(); }

    void add(double px, double py)
    {
        if (!(std::fabs(px) <= breakLimit && std::fabs(py) <= breakLimit)) {
            flush();
            havePrev = false;
            return;
        }
        const QPointF pt(px, py);
        if (!havePrev) {
            if (inside(pt))
                run.push_back(pt);
        } else if (inside(prev) && inside(pt)) {
            run.push_back(pt);
        } else {
            addClipped(pt);
        }
        prev = pt;
        havePrev = true;
    }

private:
    void addClipped(const QPointF &pt)
    {
        QPointF a = prev;
        QPointF b = pt;
        if (!clipSegment(a, b)) {
            flush();
            return;
        }
        if (!inside(prev)) {
            flush();
            run.push_back(a);
        }
        run.push_back(b);
        if (!inside(pt))
            flush();
    }

    void flush()
    {
        if (!run.empty())
            painter->drawPolyline(run.data(), int(run.size()));
        run.clear();
    }

    QPainter *painter;
    std::vector<QPointF> run;
    QPointF prev;
    bool havePrev = false;
};

} // namespace

void drawDataLine(QPainter *p, const ChCoord &coord, const QVector<double> &x,
                  const QVector<double> &y)
{
    const int n = std::min(x.size(), y.size());
    const PixelMap map(coord);
    LineBuilder line(p, n);
    for (int i = 0; i < n; ++i)
        line.add(std::trunc(map.x(x[i])), std::trunc(map.y(y[i])));
}

QPen curvePen(const QColor &color, int width, const QVector<qreal> &dashes)
{
    QPen pen(color, width, Qt::SolidLine);
    if (!dashes.isEmpty())
        pen.setDashPattern(dashes);
    return pen;
}

QColor pathColor(const QColor &c)
{
    auto toWhite = [](int v) { return v + int((255 - v) * pathLightness); };
    return QColor(toWhite(c.red()), toWhite(c.green()), toWhite(c.blue()));
}

void drawMarkers(QPainter *p, const ChCoord &coord, const QVector<double> &x,
                 const QVector<double> &y)
{
    constexpr double radius = 2.5;
    const int n = std::min(x.size(), y.size());
    const PixelMap map(coord);
    QPen pen = p->pen();
    pen.setStyle(Qt::SolidLine);
    p->save();
    p->setPen(pen);
    p->setBrush(Qt::NoBrush);
    // Rings closer than this to the last one drawn would merge into a thick
    // band on a densely sampled curve (chi(R) on a fine grid, a zoomed-out
    // measurement); the line still passes through every point.
    constexpr double spacing = 3 * radius;
    QPointF last(qInf(), qInf());
    for (int i = 0; i < n; ++i) {
        const QPointF at(map.x(x[i]), map.y(y[i]));
        if (std::fabs(at.x()) > clipLimit || std::fabs(at.y()) > clipLimit)
            continue;
        if (std::hypot(at.x() - last.x(), at.y() - last.y()) < spacing)
            continue;
        p->drawEllipse(at, radius, radius);
        last = at;
    }
    p->restore();
}

// A new pen costs the raster engine a state change, so consecutive curves
// with the same pen (a job's paths) share one.
void drawCurves(QPainter *p, const ChCoord &coord, const QVector<PlotCurve> &curves)
{
    const PlotCurve *previous = nullptr;
    for (const PlotCurve &c : curves) {
        if (!previous || c.color != previous->color || c.width != previous->width ||
            c.dashes != previous->dashes)
            p->setPen(curvePen(c.color, c.width, c.dashes));
        previous = &c;
        drawDataLine(p, coord, c.x, c.y);
        if (c.markers)
            drawMarkers(p, coord, c.x, c.y);
    }
}
