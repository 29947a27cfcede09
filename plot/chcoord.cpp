#include "plot/chcoord.h"

#include "plot/mousec.h"
#include "plot/pixelmap.h"

#include <QtMath>

#include <algorithm>
#include <cmath>

namespace {

// Pan and zoom gestures are plain ones: any of these held at the press
// leaves the range alone.
constexpr int gestureModifiers = Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier;

bool isPlainGesture(const MouseC *m, Qt::MouseButton button)
{
    return m->pressButton == int(button) && (m->pressModifiers & gestureModifiers) == 0;
}

bool isBand(double p, double a, double b, double ratio)
{
    const double band = std::fabs(b - a) * ratio;
    const double lo = std::min(a, b);
    const double hi = std::max(a, b);
    return p < lo + band || p > hi - band;
}

} // namespace

ChCoord::ChCoord(QObject *parent) : QObject(parent) {}

void ChCoord::setMouse(MouseC *m)
{
    mouse = m;
    connect(m, &MouseC::mMoved, this, &ChCoord::mMoved);
    connect(m, &MouseC::mPressed, this, &ChCoord::mPressed);
    connect(m, &MouseC::mReleased, this, &ChCoord::mReleased);
    connect(m, &MouseC::mDClicked, this, &ChCoord::mDClicked);
    connect(m, &MouseC::wheelMoved, this, &ChCoord::wheelMoved);
}

void ChCoord::setFrame(double left, double bottom, double right, double top)
{
    frameLeft = plotLeft = left;
    frameBottom = plotBottom = bottom;
    frameRight = plotRight = right;
    frameTop = plotTop = top;
}

void ChCoord::calcPlotArea()
{
    const double w = frameRight - frameLeft;
    const double h = frameTop - frameBottom; // negative: row 0 is the top
    plotLeft = frameLeft + std::trunc(marginLeft * w);
    plotRight = frameRight - std::trunc(marginRight * w);
    plotBottom = frameBottom + std::trunc(marginBottom * h);
    plotTop = frameTop - std::trunc(marginTop * h);
}

void ChCoord::setRange(double xMin_, double yMin_, double xMax_, double yMax_)
{
    xMin = xMin_;
    yMin = yMin_;
    xMax = xMax_;
    yMax = yMax_;
}

void ChCoord::setXRange(double min, double max)
{
    xMin = min;
    xMax = max;
}

void ChCoord::setYRange(double min, double max)
{
    yMin = min;
    yMax = max;
}

double ChCoord::xToPixel(double x) const
{
    return PixelMap(*this).x(x);
}

double ChCoord::yToPixel(double y) const
{
    return PixelMap(*this).y(y);
}

double ChCoord::xLenToPixel(double d) const
{
    return (plotRight - plotLeft) / (xMax - xMin) * d;
}

double ChCoord::yLenToPixel(double d) const
{
    return (plotTop - plotBottom) / (yMax - yMin) * d;
}

double ChCoord::pixelToX(double px) const
{
    return xMin + (xMax - xMin) / (plotRight - plotLeft) * (px - plotLeft);
}

double ChCoord::pixelToY(double py) const
{
    return yMin + (yMax - yMin) / (plotTop - plotBottom) * (py - plotBottom);
}

double ChCoord::pixelToXClamped(double px) const
{
    return std::clamp(pixelToX(px), std::min(xMin, xMax), std::max(xMin, xMax));
}

double ChCoord::pixelToYClamped(double py) const
{
    return std::clamp(pixelToY(py), std::min(yMin, yMax), std::max(yMin, yMax));
}

double ChCoord::pixelLenToX(double d) const
{
    return (xMax - xMin) / (plotRight - plotLeft) * d;
}

double ChCoord::pixelLenToY(double d) const
{
    return (yMax - yMin) / (plotTop - plotBottom) * d;
}

bool ChCoord::nearXEdge(double px) const
{
    return isBand(px, plotLeft, plotRight, edgeRatio);
}

bool ChCoord::nearYEdge(double py) const
{
    return isBand(py, plotBottom, plotTop, edgeRatio);
}

bool ChCoord::hasPlotArea() const
{
    const double w = plotRight - plotLeft;
    const double h = plotTop - plotBottom;
    return std::isfinite(w) && std::isfinite(h) && w != 0 && h != 0;
}

bool ChCoord::hasUsableRange() const
{
    return usableSpan(xMin, xMax) && usableSpan(yMin, yMax);
}

bool ChCoord::isUsable() const
{
    return hasPlotArea() && hasUsableRange();
}

bool ChCoord::usableSpan(double a, double b)
{
    const double span = std::fabs(b - a);
    return std::isfinite(a) && std::isfinite(b) && span >= 1e-200 && span <= 1e200 &&
           span > 1e-12 * std::max(std::fabs(a), std::fabs(b));
}

void ChCoord::makeUsable(double &lo, double &hi, double fallbackLo, double fallbackHi)
{
    if (!std::isfinite(lo) || !std::isfinite(hi)) {
        lo = fallbackLo;
        hi = fallbackHi;
        return;
    }
    if (usableSpan(lo, hi))
        return;
    const double mid = lo * 0.5 + hi * 0.5;
    const double half = std::fabs(mid) >= 1e-100 ? 0.1 * std::fabs(mid) : 1.0;
    lo = mid - half;
    hi = mid + half;
    if (!usableSpan(lo, hi)) {
        lo = fallbackLo;
        hi = fallbackHi;
    }
}

void ChCoord::clearScale()
{
    xMin = xMax = yMin = yMax = 0;
}

void ChCoord::mMoved()
{
    if (mouse && isUsable()) {
        emit nowPos(pixelToX(mouse->curPos.x()), pixelToY(mouse->curPos.y()));
        if (mouse->pressed && isPlainGesture(mouse, Qt::LeftButton))
            pan();
    }
    emit updated();
}

// Keeps the data point under the previous cursor position under the current
// one. An axis whose shifted range would lose its resolution (far away from
// zero) stays where it is.
void ChCoord::pan()
{
    const double dx = pixelToX(mouse->prevPos.x()) - pixelToX(mouse->curPos.x());
    const double dy = pixelToY(mouse->prevPos.y()) - pixelToY(mouse->curPos.y());
    if (dx == 0 && dy == 0)
        return;
    if (usableSpan(xMin + dx, xMax + dx))
        setXRange(xMin + dx, xMax + dx);
    if (usableSpan(yMin + dy, yMax + dy))
        setYRange(yMin + dy, yMax + dy);
    emit rangeChangedByUser();
}

void ChCoord::mPressed()
{
    emit updated();
}

void ChCoord::mReleased()
{
    if (mouse && isUsable() && isPlainGesture(mouse, Qt::RightButton))
        zoomToDraggedRect();
    emit updated();
}

// Both diagonals give the same rectangle: the edge nearer plotBottom becomes
// yMin, the edge nearer plotLeft xMin, so the axes keep their orientation.
// Clicks, thin strips and rectangles below the range resolution change
// nothing.
void ChCoord::zoomToDraggedRect()
{
    const QPoint a = mouse->pressPos;
    const QPoint b = mouse->releasePos;
    if (std::abs(a.x() - b.x()) < minZoomDrag || std::abs(a.y() - b.y()) < minZoomDrag)
        return;
    const bool leftIsSmaller = plotLeft < plotRight;
    const bool bottomIsLarger = plotBottom > plotTop;
    const int leftPx = leftIsSmaller ? std::min(a.x(), b.x()) : std::max(a.x(), b.x());
    const int rightPx = leftIsSmaller ? std::max(a.x(), b.x()) : std::min(a.x(), b.x());
    const int lowerPx = bottomIsLarger ? std::max(a.y(), b.y()) : std::min(a.y(), b.y());
    const int upperPx = bottomIsLarger ? std::min(a.y(), b.y()) : std::max(a.y(), b.y());
    const double x0 = pixelToX(leftPx);
    const double x1 = pixelToX(rightPx);
    const double y0 = pixelToY(lowerPx);
    const double y1 = pixelToY(upperPx);
    if (usableSpan(x0, x1) && usableSpan(y0, y1)) {
        setRange(x0, y0, x1, y1);
        emit rangeChangedByUser();
    }
}

void ChCoord::mDClicked()
{
    emit updated();
}

// Zooms about the data point under the cursor; over the axis bands only the
// axis under the cursor changes. A zoom that would leave the usable spans
// (too deep or too far out) leaves that axis alone.
void ChCoord::wheelMoved(int step)
{
    if (mouse && isUsable()) {
        const double f = step < 0 ? 1.1 : 1.0 / 1.1;
        const double px = mouse->curPos.x();
        const double py = mouse->curPos.y();
        const double cx = pixelToX(px);
        const double cy = pixelToY(py);
        const bool nx = nearXEdge(px);
        const bool ny = nearYEdge(py);
        if (!(nx && !ny)) {
            const double lo = cx + (xMin - cx) * f;
            const double hi = cx + (xMax - cx) * f;
            if (usableSpan(lo, hi))
                setXRange(lo, hi);
        }
        if (!(ny && !nx)) {
            const double lo = cy + (yMin - cy) * f;
            const double hi = cy + (yMax - cy) * f;
            if (usableSpan(lo, hi))
                setYRange(lo, hi);
        }
        emit rangeChangedByUser();
    }
    emit updated();
}
