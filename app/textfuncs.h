#ifndef TEXTFUNCS_H
#define TEXTFUNCS_H

#include <QString>
#include <utility>

class QTextCodec;
class QTextStream;

// Small text helpers shared by the configuration reader, the path
// derivation, the jobs and the result tables. "White space" is what
// QChar::isSpace() says.

// first + "/" + second with exactly one slash at the seam; backslashes untouched.
QString joinPath(const QString &first, const QString &second);
// Every "/" replaced by the platform's directory separator.
QString nativePath(const QString &text);
// Splits off the first token: a double-quoted run (no escapes, closing quote
// optional) or a run of non-blanks. Returns (token, remainder).
std::pair<QString, QString> takeToken(const QString &text);
QString trimLeft(const QString &text);
QString stripComment(const QString &line);
bool isBlankLine(const QString &line);
// The text made fit for one field of a tab-separated table or result line:
// a tab or line break becomes "?".
QString tableField(QString text);
// A number of a result table or report: six significant digits, "nan" for a
// value that is missing (not finite).
QString tableNumber(double value);

// Codec of every text file the system reads or writes when no byte-order
// mark says otherwise (Shift-JIS). File names, directories and process
// arguments never go through it: they stay in the platform's encoding.
QTextCodec *fileTextCodec();
// Puts fileTextCodec() on a stream; a byte-order mark still wins on reading.
void useFileCodec(QTextStream &stream);

#endif
