#ifndef PLOTEXPORT_H
#define PLOTEXPORT_H

#include "plot/plotcurve.h"

#include <QCoreApplication>
#include <QString>
#include <QVector>

class QWidget;

// Saves what a plot surface shows: as a PNG image or an SVG drawing of the
// surface at its size, or as the drawn curves' data, tab-separated. The
// file's suffix chooses the format; a file is written whole or not at all.
class PlotExport
{
    Q_DECLARE_TR_FUNCTIONS(PlotExport)
public:
    enum Format
    {
        Png,
        Svg,
        Data,
        Unknown
    };
    static Format formatOf(const QString &fileName);
    // Asks for the name in a save dialog that starts in folder; empty when
    // cancelled. A name without a suffix takes the chosen type's.
    static QString askFileName(QWidget *parent, const QString &folder);

    // Empty on success, else the reason.
    static QString save(QWidget *surface, const QString &title, const QVector<PlotCurve> &curves,
                        const QString &fileName);

    // One column pair per curve: a header row naming job, path and
    // component of each column, then one row per point, shorter curves
    // padded with empty fields.
    static QString dataText(const QVector<PlotCurve> &curves);

private:
    static QString savePng(QWidget *surface, const QString &fileName);
    static QString saveSvg(QWidget *surface, const QString &title, const QString &fileName);
    static QString saveText(const QString &text, const QString &fileName);
};

#endif
