#include "jobs/consoletext.h"

#include <QGridLayout>
#include <QTextEdit>

void ConsoleText::setPlace(QGridLayout *paneLayout, int paneRow, const QString &paneName)
{
    layout = paneLayout;
    row = paneRow;
    name = paneName;
}

void ConsoleText::open()
{
    if (edit)
        return;
    edit = new QTextEdit(layout->parentWidget());
    edit->setObjectName(name);
    edit->setMinimumHeight(300);
    edit->setPlainText(QString::fromUtf8(bytes()));
    // Output that still arrives goes after what is there.
    edit->moveCursor(QTextCursor::End);
    layout->addWidget(edit, row, 0);
    kept = QByteArray();
    packed = false;
}

void ConsoleText::close()
{
    if (!edit)
        return;
    kept = edit->toPlainText().toUtf8();
    kept.squeeze();
    delete edit;
    edit = nullptr;
}

void ConsoleText::append(const QString &text)
{
    if (edit) {
        edit->insertPlainText(text);
        return;
    }
    if (packed) {
        kept = bytes();
        packed = false;
    }
    kept += text.toUtf8();
}

QString ConsoleText::text() const
{
    return edit ? edit->toPlainText() : QString::fromUtf8(bytes());
}

void ConsoleText::clear()
{
    kept = QByteArray();
    packed = false;
    if (edit)
        edit->clear();
}

void ConsoleText::pack()
{
    if (edit || packed || kept.isEmpty())
        return;
    kept = qCompress(kept);
    packed = true;
}

QByteArray ConsoleText::bytes() const
{
    return packed ? qUncompress(kept) : kept;
}
