#ifndef CONSOLETEXT_H
#define CONSOLETEXT_H

#include <QByteArray>
#include <QString>

class QGridLayout;
class QTextEdit;

// The text of a console pane. A QTextEdit with its document costs several
// times the text it holds (scroll bars, blocks, layouts, the undo stack),
// and a window holds hundreds of job panels of which one pane at most is
// open; so the pane exists only while it is open, and a closed pane keeps
// its text as UTF-8 bytes, compressed once its program has ended.
class ConsoleText
{
public:
    // Where an open pane goes: its name and its row in the panel's layout.
    void setPlace(QGridLayout *layout, int row, const QString &name);

    // Makes the pane and moves the kept text into it, or takes the text back
    // and deletes the pane; the text a user typed into an open pane is what
    // a closed one keeps.
    void open();
    void close();
    // The open pane, null while closed.
    QTextEdit *pane() const { return edit; }

    // Adds text at the end of a closed pane, at the cursor of an open one
    // (where console output has always gone).
    void append(const QString &text);
    QString text() const;
    void clear();
    // The program writing to the pane has ended: a closed pane's text is
    // compressed (console text shrinks to a fifth or less).
    void pack();

private:
    QByteArray bytes() const;

    QGridLayout *layout = nullptr;
    int row = 0;
    QString name;
    QTextEdit *edit = nullptr;
    QByteArray kept; // UTF-8 while closed; compressed if packed
    bool packed = false;
};

#endif
