#ifndef DRAWTEXT_H
#define DRAWTEXT_H

#include <QObject>
#include <QRectF>
#include <QSizeF>

class QFont;
class QPainter;
class QString;

// Text drawn so that it just fits a rectangle. Keeps no state between calls.
class DrawText : public QObject
{
    Q_OBJECT
public:
    explicit DrawText(QObject *parent = nullptr);

    enum Mode
    {
        Plain = 0,
        Fit = 1
    };

    // Draws text into rect (normalised in place) with the alignment flags.
    // In Fit mode the font's point size is scaled so that the text measured
    // at 10 points fills the rectangle, capped at maxPointSize when that is
    // above 0; text that would get no positive size is not drawn. The painter
    // has font again afterwards; the text takes the pen's colour.
    void fitText(QPainter *p, QRectF &rect, const QFont &font, int flags, int mode,
                 const QString &text, double maxPointSize);
    static QRectF centeredRect(double cx, double cy, double width, double height);
    // 10 points scaled by the smaller of the ratios box / measured (a zero
    // measured side counts as ratio 1), then capped.
    static double fittedPointSize(const QSizeF &box, const QSizeF &measuredAt10,
                                  double maxPointSize);
};

#endif
