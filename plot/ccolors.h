#ifndef CCOLORS_H
#define CCOLORS_H

#include <QColor>
#include <QObject>
#include <QVector>

// The curve palette: 15 base colours, extended by blending neighbours to as
// many colours as asked for. Never changes after construction.
class CColors : public QObject
{
    Q_OBJECT
public:
    CColors();
    explicit CColors(int n);
    CColors(const QVector<QColor> &base, int n);

    static QVector<QColor> baseColors();

    QVector<QColor> colors;

private:
    void extendTo(int n);
};

#endif
