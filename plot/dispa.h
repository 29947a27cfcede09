#ifndef DISPA_H
#define DISPA_H

#include <QColor>
#include <QFrame>

class QPaintEvent;

// A framed surface that fills itself with a background colour. Job panels use
// it as their colour swatch.
class DispA : public QFrame
{
    Q_OBJECT
public:
    explicit DispA(QWidget *parent = nullptr);

    QColor background; // invalid: the widget's own palette shows

protected:
    void paintEvent(QPaintEvent *event) override;
};

#endif
