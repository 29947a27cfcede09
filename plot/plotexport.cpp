#include "plot/plotexport.h"

#include "app/textfuncs.h"
#include "chi/resultfile.h"

#include <QBuffer>
#include <QFileDialog>
#include <QFileInfo>
#include <QImage>
#include <QSvgGenerator>
#include <QWidget>

#include <algorithm>

PlotExport::Format PlotExport::formatOf(const QString &fileName)
{
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    if (suffix == QLatin1String("png"))
        return Png;
    if (suffix == QLatin1String("svg"))
        return Svg;
    if (suffix == QLatin1String("tsv") || suffix == QLatin1String("txt") ||
        suffix == QLatin1String("dat"))
        return Data;
    return Unknown;
}

QString PlotExport::askFileName(QWidget *parent, const QString &folder)
{
    const QString png = tr("PNG image (*.png)");
    const QString svg = tr("SVG drawing (*.svg)");
    const QString data = tr("Curves as tab-separated data (*.tsv)");
    QString filter = png;
    QString name = QFileDialog::getSaveFileName(
        parent, tr("Save the plot"), folder,
        png + QStringLiteral(";;") + svg + QStringLiteral(";;") + data, &filter);
    if (!name.isEmpty() && QFileInfo(name).suffix().isEmpty())
        name += filter == svg    ? QStringLiteral(".svg")
                : filter == data ? QStringLiteral(".tsv")
                                 : QStringLiteral(".png");
    return name;
}

QString PlotExport::save(QWidget *surface, const QString &title, const QVector<PlotCurve> &curves,
                         const QString &fileName)
{
    if (QFileInfo(fileName).isDir())
        return tr("it is a folder");
    switch (formatOf(fileName)) {
    case Png:
        return savePng(surface, fileName);
    case Svg:
        return saveSvg(surface, title, fileName);
    case Data:
        return saveText(dataText(curves), fileName);
    default:
        return tr("name the file .png, .svg or .tsv");
    }
}

QString PlotExport::savePng(QWidget *surface, const QString &fileName)
{
    QImage image(surface->size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    surface->render(&image);
    // Made in memory first, then written whole (ResultFile).
    QBuffer png;
    png.open(QIODevice::WriteOnly);
    if (!image.save(&png, "PNG"))
        return tr("the image could not be encoded");
    return ResultFile::writeBytes(fileName, png.data());
}

QString PlotExport::saveSvg(QWidget *surface, const QString &title, const QString &fileName)
{
    QBuffer bytes;
    bytes.open(QIODevice::WriteOnly);
    QSvgGenerator svg;
    svg.setOutputDevice(&bytes);
    svg.setSize(surface->size());
    svg.setViewBox(QRect(QPoint(0, 0), surface->size()));
    svg.setResolution(96); // one surface pixel is one CSS pixel
    svg.setTitle(title);
    // The surface paints itself through the generator: lines stay lines.
    surface->render(&svg);
    return ResultFile::writeBytes(fileName, bytes.data());
}

QString PlotExport::saveText(const QString &text, const QString &fileName)
{
    return ResultFile::writeBytes(fileName, text.toUtf8());
}

QString PlotExport::dataText(const QVector<PlotCurve> &curves)
{
    QStringList header;
    int rows = 0;
    for (const PlotCurve &c : curves) {
        QString name = c.job;
        if (!c.path.isEmpty())
            name += QStringLiteral(" · ") + c.path;
        name = tableField(name);
        header << name + QLatin1Char(' ') + c.xName << name + QLatin1Char(' ') + c.component;
        rows = std::max(rows, int(std::min(c.x.size(), c.y.size())));
    }
    QString text = header.join(QLatin1Char('\t')) + QLatin1Char('\n');
    for (int i = 0; i < rows; ++i) {
        QStringList fields;
        for (const PlotCurve &c : curves) {
            const bool has = i < c.x.size() && i < c.y.size();
            fields << (has ? QString::number(c.x[i], 'g', 10) : QString())
                   << (has ? QString::number(c.y[i], 'g', 10) : QString());
        }
        text += fields.join(QLatin1Char('\t')) + QLatin1Char('\n');
    }
    return text;
}
