#include "plot/chiview.h"

#include "jobs/panelwidths.h"

#include <QCheckBox>
#include <QLabel>
#include <QPainter>
#include <QScrollBar>
#include <QShortcut>

ChiView::ChiView(QWidget *parent) : QFrame(parent)
{
    setupUi(this);
    // The read-outs show six significant digits; in a crowded row the form's
    // widths would cut a number to its last digits, which reads as another
    // number.
    for (QLineEdit *e : {PosX, PosY})
        PanelWidths::fitReadOut(e, QStringLiteral("-0.000123457"));
    gridLayout_5->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    for (QRadioButton *b : {kW0, kW1, kW2, kW3})
        kWeightGroup.addButton(b);
    connect(DispChi, &DispA::drawImage1, this, &ChiView::draw);
    connect(SaveView, &QPushButton::clicked, this, &ChiView::saveRequested);
    auto *save = new QShortcut(QKeySequence::Save, this);
    connect(save, &QShortcut::activated, this, &ChiView::saveRequested);
    connect(ShowLegend, &QCheckBox::toggled, DispChi, qOverload<>(&QWidget::update));
    connect(ShowFit, &QCheckBox::toggled, DispChi, qOverload<>(&QWidget::update));
    connect(ResetScale, &QPushButton::clicked, this, &ChiView::resetScale);
    connect(&DispChi->coord, &ChCoord::rangeChangedByUser, this, [this] { following = false; });
    for (QCheckBox *c : {SelAbs, SelReal, SelImag})
        connect(c, &QCheckBox::clicked, this, qOverload<>(&QWidget::update));
    connect(ClrAllPaths, &QPushButton::clicked, this, &ChiView::clearAllPathSelections);
    connect(&kWeightGroup, &QButtonGroup::idPressed, this, qOverload<>(&QWidget::update));
}

void ChiView::resetScale()
{
    following = true;
    rescale = true;
    update();
}

void ChiView::followCurves()
{
    if (following)
        rescale = true;
    update();
}

// The first path stays as it is: it is the one most often wanted.
void ChiView::clearAllPathSelections()
{
    for (int j = 1; j < boxes.size(); ++j)
        boxes[j]->setChecked(false);
}

void ChiView::setChips(int i)
{
    if (i < 1) {
        PathSelect->hide();
        return;
    }
    PathSelect->show();
    for (int j = 0; j < i; ++j) {
        if (j >= boxes.size())
            addPathBox(j);
        labels[j]->show();
        boxes[j]->show();
    }
    for (int j = i; j < boxes.size(); ++j) {
        labels[j]->hide();
        boxes[j]->hide();
    }
    fitPathRow();
}

void ChiView::addPathBox(int j)
{
    auto *box = new QCheckBox;
    auto *number = new QLabel;
    labels.append(number);
    boxes.append(box);
    number->setText(QString::number(j + 1));
    number->setAlignment(Qt::AlignCenter);
    // The row scrolls sideways in PathScroll, so the window keeps its width
    // whatever the number of paths.
    gridLayout_5->addWidget(number, 0, j, Qt::AlignCenter);
    gridLayout_5->addWidget(box, 1, j, Qt::AlignCenter);
    connect(box, &QCheckBox::toggled, this, qOverload<>(&QWidget::update));
    if (j == 0)
        box->setChecked(true);
}

// Room for the two rows and the scroll bar, which would otherwise cover the
// boxes. Only shown boxes count in the size hint.
void ChiView::fitPathRow()
{
    PathScroll->setFixedHeight(PathBoxes->sizeHint().height() +
                               PathScroll->horizontalScrollBar()->sizeHint().height());
}

void ChiView::setPathTips(const QStringList &tips)
{
    for (int j = 0; j < boxes.size(); ++j) {
        const QString tip = tips.value(j);
        boxes[j]->setToolTip(tip);
        labels[j]->setToolTip(tip);
    }
}
