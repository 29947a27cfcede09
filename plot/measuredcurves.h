#ifndef MEASUREDCURVES_H
#define MEASUREDCURVES_H

#include "chi/ftoptions.h"
#include "data/measureddata.h"

#include <QAbstractListModel>
#include <QVector>

#include <memory>
#include <vector>

class Chi;

// The measured chi(k) curves of the plots, one row each: the file's name,
// checkable (checked: drawn). Each curve is read by MeasuredData and
// transformed with the job settings, so that its chi(R) is made like the
// jobs'. The first row is the curve the jobs are held against.
class MeasuredCurves : public QAbstractListModel
{
    Q_OBJECT
public:
    explicit MeasuredCurves(QObject *parent = nullptr);
    ~MeasuredCurves() override;

    // The settings of every later transform; curves already read are made
    // again with them.
    void setTransformArgs(const TransformArgs &args);
    const TransformArgs &transformArgs() const { return args; }

    // How measured mu(E) is made chi(k), and where its .chik files go.
    void setDataOptions(const MeasuredData::Options &options) { dataOptions = options; }

    // Reads the file and appends its curves as shown ones (a project file
    // may hold several); a file that cannot be used (no usable points, mu(E)
    // taken for chi(k), no point in the k range) is refused with one log line
    // naming it, and changes nothing.
    bool add(const QString &path);
    void remove(int row);
    void setShown(int row, bool shown);

    int count() const { return int(curves.size()); }
    const Chi &curve(int row) const;
    bool isShown(int row) const;
    QVector<const Chi *> shown() const;
    // The first curve, shown or not; null without any.
    const Chi *reference() const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

signals:
    void log(QString msg);
    // A curve came, went, was shown or hidden, or was made again.
    void curvesChanged();

private:
    MeasuredData::Options withRange() const;
    QString refusal(const Chi &chi) const;

    struct Entry
    {
        std::unique_ptr<Chi> chi;
        bool shown = true;
    };
    std::vector<Entry> curves;
    TransformArgs args;
    MeasuredData::Options dataOptions;
};

#endif
