#include "jobs/panelwidths.h"

#include "ui_demeter.h"

#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionFrame>

#include <algorithm>

namespace {

// A probe rectangle wide enough that no style squeezes its contents.
const QRect probe(0, 0, 400, 40);

int textWidth(const QWidget *w, const QString &text)
{
    return w->fontMetrics().horizontalAdvance(text);
}

// The room the style takes around a push button's text.
int buttonPadding(const QPushButton *b)
{
    QStyleOptionButton opt;
    opt.initFrom(b);
    opt.text = b->text();
    opt.rect = probe;
    return probe.width() -
           b->style()->subElementRect(QStyle::SE_PushButtonContents, &opt, b).width();
}

// The room taken around a line edit's text: frame, text margins and the
// two-pixel margin the line edit keeps on either side.
int lineEditPadding(const QLineEdit *e)
{
    QStyleOptionFrame opt;
    opt.initFrom(e);
    opt.rect = probe;
    opt.lineWidth = e->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &opt, e);
    const QRect contents = e->style()->subElementRect(QStyle::SE_LineEditContents, &opt, e);
    const QMargins tm = e->textMargins();
    return probe.width() - contents.width() + tm.left() + tm.right() + 2 * 2;
}

void widenButton(QPushButton *b)
{
    const int need = textWidth(b, b->text()) + buttonPadding(b);
    if (b->minimumWidth() < need)
        b->setMinimumWidth(need);
    if (b->maximumWidth() < need)
        b->setMaximumWidth(need);
}

void widenStatus(QLineEdit *e, const QStringList &texts)
{
    int widest = 0;
    for (const QString &t : texts)
        widest = std::max(widest, textWidth(e, t));
    // One pixel more for the text cursor of the read-only field.
    const int need = widest + lineEditPadding(e) + 1;
    if (e->minimumWidth() < need)
        e->setMinimumWidth(need);
    if (e->maximumWidth() < need)
        e->setMaximumWidth(need);
}

} // namespace

void PanelWidths::fit(Ui_Demeter &ui, const QStringList &atomsTexts, const QStringList &feffTexts)
{
    for (QPushButton *b : {ui.Delete, ui.SaveFeffInp, ui.FeffRestart, ui.ColorSel})
        widenButton(b);
    widenStatus(ui.AtomsStat, atomsTexts);
    widenStatus(ui.FeffStat, feffTexts);
    // Check boxes keep their own size hints, which hold their texts.
}

void PanelWidths::fitReadOut(QLineEdit *e, const QString &widest)
{
    widenStatus(e, {widest});
}
