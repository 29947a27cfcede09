// The job's console panes: what the programs print, and which job it is.
#include "jobs/demeter.h"

namespace {

// Console output is UTF-8 up to the first NUL byte of a read; malformed
// sequences become replacement characters.
QString decodeOutput(QByteArray bytes)
{
    const int nul = bytes.indexOf('\0');
    if (nul >= 0)
        bytes.truncate(nul);
    return QString::fromUtf8(bytes);
}

} // namespace

void Demeter::appendOutput(QProcess *proc, ConsoleText *pane, SlurmNotice *notice,
                           QString *lastLine)
{
    while (!proc->atEnd()) {
        const QByteArray line = proc->readLine();
        if (notice)
            notice->feed(line);
        const QString text = decodeOutput(line);
        if (!text.trimmed().isEmpty())
            *lastLine = text.trimmed();
        pane->append(text);
    }
}

// The open pane says whose output it shows: with hundreds of panels the row
// above it is not always in view.
void Demeter::showResAtoms(bool f)
{
    f ? atomsText.open() : atomsText.close();
    showPaneTitle();
}

void Demeter::showResFeff(bool f)
{
    f ? feffText.open() : feffText.close();
    showPaneTitle();
}

void Demeter::showPaneTitle()
{
    const bool atoms = ui.ShowResAtoms->isChecked();
    const bool feff = ui.ShowResFeff->isChecked();
    ui.PaneTitle->setVisible(atoms || feff);
    if (!atoms && !feff)
        return;
    const QString input = inputFile.absoluteFilePath();
    ui.PaneTitle->setText(atoms && feff
                              ? tr("Atoms and FEFF output of %1 (%2)").arg(baseName, input)
                          : atoms ? tr("Atoms output of %1 (%2)").arg(baseName, input)
                                  : tr("FEFF output of %1 (%2)").arg(baseName, input));
}

void Demeter::msgFromAtoms()
{
    appendOutput(atomsProc, &atomsText, settings.batchRun ? &atomsNotice : nullptr, &atomsLast);
}

void Demeter::msgFromFeff()
{
    // ResAtoms is the source of feff.inp; ResFeff only shows the output.
    if (settings.batchRun)
        feffNotice.feed(feffProc->readAll());
    else
        appendOutput(feffProc, &feffText, nullptr, &feffLast);
}
