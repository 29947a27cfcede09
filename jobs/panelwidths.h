#ifndef PANELWIDTHS_H
#define PANELWIDTHS_H

#include <QStringList>

class QLineEdit;
class Ui_Demeter;

// Widens the fixed-size widgets of a job panel so that their texts fit in
// the font and style in use, whatever the language: the form's widths stay
// the smallest ones. The status fields get the width of the longest text
// they can show.
class PanelWidths
{
public:
    static void fit(Ui_Demeter &ui, const QStringList &atomsTexts, const QStringList &feffTexts);
    // A read-out field: at least the width that holds the given text, wider
    // than the form's maximum where the font needs it.
    static void fitReadOut(QLineEdit *e, const QString &widest);
};

#endif
