#ifndef CHIVIEW_H
#define CHIVIEW_H

#include "ui_chiview.h"

#include <QButtonGroup>
#include <QFrame>
#include <QPainter> // complete type: connecting to draw() needs it
#include <QVector>

class QCheckBox;
class QLabel;

// One chi plot window: the drawing surface, the cursor read-out and the
// controls that choose what is drawn. It draws nothing itself: every paint
// of its surface goes out as draw(), and ChiViewCtrl, which reads the form's
// widgets, does the drawing.
class ChiView : public QFrame, private Ui_ChiView
{
    Q_OBJECT
    friend class ChiViewCtrl;

public:
    explicit ChiView(QWidget *parent = nullptr);

    // Path box j stands for path j + 1 of a job; boxes are never deleted,
    // only hidden, so their check states outlive the job that showed them.
    const QVector<QCheckBox *> &pathBoxes() const { return boxes; }
    const QVector<QLabel *> &pathLabels() const { return labels; }
    // Tooltip j goes to path box j and its label; boxes beyond the list get
    // none. Called after setChips with the offered job's path names.
    void setPathTips(const QStringList &tips);

    // Set when the next drawing is to take its scale from the data again;
    // the drawing clears it.
    bool rescale = true;
    // Whether the scale follows the shown curves as they are shown, hidden
    // or arrive: until the user pans or zooms, again after "Reset Scale".
    bool isFollowing() const { return following; }

signals:
    void log(QString msg);
    void draw(QPainter *p);
    // The Save button or Ctrl+S.
    void saveRequested();

private slots:
    void resetScale();
    void clearAllPathSelections();

public slots:
    void setChips(int i);
    // The shown curves changed: rescale if following, and repaint.
    void followCurves();

private:
    void addPathBox(int j);
    void fitPathRow();

    bool following = true;
    QButtonGroup kWeightGroup; // no parent: a member of the window
    QVector<QLabel *> labels;
    QVector<QCheckBox *> boxes;
};

#endif
