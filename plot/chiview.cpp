#include "plot/chiview.h"

#include <QCheckBox>
#include <QLabel>
#include <QPainter>

ChiView::ChiView(QWidget *parent) : QFrame(parent)
{
    setupUi(this);
    for (QRadioButton *b : {kW0, kW1, kW2, kW3})
        kWeightGroup.addButton(b);
    connect(DispChi, &DispA::drawImage1, this, &ChiView::draw);
    connect(ResetScale, &QPushButton::clicked, this, &ChiView::resetScale);
    for (QCheckBox *c : {SelAbs, SelReal, SelImag})
        connect(c, &QCheckBox::clicked, this, qOverload<>(&QWidget::update));
    connect(ClrAllPaths, &QPushButton::clicked, this, &ChiView::clearAllPathSelections);
    connect(&kWeightGroup, &QButtonGroup::idPressed, this, qOverload<>(&QWidget::update));
}

void ChiView::resetScale()
{
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
}

void ChiView::addPathBox(int j)
{
    auto *box = new QCheckBox;
    auto *number = new QLabel;
    labels.append(number);
    boxes.append(box);
    number->setText(QString::number(j + 1));
    number->setAlignment(Qt::AlignCenter);
    gridLayout_4->addWidget(number, 0, j + 2, Qt::AlignCenter);
    gridLayout_4->addWidget(box, 1, j + 2, Qt::AlignCenter);
    connect(box, &QCheckBox::toggled, this, qOverload<>(&QWidget::update));
    if (j == 0)
        box->setChecked(true);
}
