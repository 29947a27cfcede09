#ifndef RESULTLINE_H
#define RESULTLINE_H

#include "jobs/demeter.h"

#include <QString>

// The line a batch run writes on standard output for an ended job, fields
// separated by one tab:
//   <outcome> <input file> <job folder> <description>
// A field never holds a tab or a line break (each becomes "?").
namespace ResultLine {

// The outcome word ("ok", "no-chi", "feff-timeout", ...).
QString outcomeWord(Demeter::Outcome outcome);
// What the outcome means for this job, in a few words.
QString description(const Demeter &job, Demeter::Outcome outcome);
// The whole line, without the line feed.
QString line(const Demeter &job, Demeter::Outcome outcome);
// The text made fit for one field.
QString field(QString text);

} // namespace ResultLine

#endif
