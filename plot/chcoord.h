#ifndef CHCOORD_H
#define CHCOORD_H

#include <QObject>

class MouseC;

// Pixel <-> data coordinate system of one drawing surface, and the visible
// data range that the mouse pans and zooms. Pixel y grows downwards, so
// plotBottom is the larger pixel row. The conversions are plain linear maps;
// they do not check for an empty range or plot area, which is why every
// mouse slot first asks isUsable() and never leaves an unusable range behind.
class ChCoord : public QObject
{
    Q_OBJECT
public:
    explicit ChCoord(QObject *parent = nullptr);

    void setMouse(MouseC *m);
    void setFrame(double left, double bottom, double right, double top);
    void calcPlotArea();
    void setRange(double xMin_, double yMin_, double xMax_, double yMax_);
    void setXRange(double min, double max);
    void setYRange(double min, double max);

    double xToPixel(double x) const;
    double yToPixel(double y) const;
    double xLenToPixel(double d) const;
    double yLenToPixel(double d) const;
    double pixelToX(double px) const;
    double pixelToY(double py) const;
    double pixelToXClamped(double px) const;
    double pixelToYClamped(double py) const;
    double pixelLenToX(double d) const;
    double pixelLenToY(double d) const;

    bool nearXEdge(double px) const;
    bool nearYEdge(double py) const;

    // True when the plot area has a width and height and both range spans
    // are usable, so that every conversion is finite.
    bool isUsable() const;
    bool hasPlotArea() const;
    bool hasUsableRange() const;
    // A span is usable when both ends are finite and the width is at least
    // 1e-200, at most 1e200, and above 1e-12 of the larger magnitude, so
    // pixel steps and tick steps stay well above floating-point resolution.
    static bool usableSpan(double a, double b);
    // Turns an automatic range that is empty or too narrow into a usable one
    // around its middle (+-10 % of the middle, or +-1 about zero); falls back
    // to (fallbackLo, fallbackHi) when the ends are not finite numbers.
    static void makeUsable(double &lo, double &hi, double fallbackLo, double fallbackHi);

    MouseC *mouse = nullptr; // not owned
    double frameLeft = 0, frameRight = 1, frameBottom = 0, frameTop = 1;
    double plotLeft = 0, plotRight = 1, plotBottom = 0, plotTop = 1;
    double xMin = 0, xMax = 1, yMin = 0, yMax = 1;
    const double edgeRatio = 0.1;
    const double marginLeft = 0.1, marginRight = 0.05, marginTop = 0.05, marginBottom = 0.1;
    const int labelRows = 20;
    const double textRatio = 0.85;
    // A right-button rectangle narrower or lower than this many pixels is a
    // click, not a zoom.
    static constexpr int minZoomDrag = 3;

public slots:
    void clearScale();
    void mMoved();
    void mPressed();
    void mReleased();
    void mDClicked();
    void wheelMoved(int step);

signals:
    void updated();
    // A pan or zoom of the user's changed the range.
    void rangeChangedByUser();
    void nowPos(double x, double y);
    void newVLines();

private:
    void pan();
    void zoomToDraggedRect();
};

#endif
