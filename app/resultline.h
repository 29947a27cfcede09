#ifndef RESULTLINE_H
#define RESULTLINE_H

#include "jobs/demeter.h"

class SiteGroup;

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
// The line of a site group (SITES all), after its sites' lines: outcome "ok"
// (the average was written), "site-failed", "no-average" (the sites' curves
// could not be averaged or written) or "no-sites" (the Atoms program could
// not list them); the description
// names the sites and their weights, or what failed.
QString line(const SiteGroup &group, bool ok);

} // namespace ResultLine

#endif
