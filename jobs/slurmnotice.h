#ifndef SLURMNOTICE_H
#define SLURMNOTICE_H

#include <QByteArray>
#include <QString>

// Watches a program's console output for the notice that Slurm's step
// daemon writes when it cancels a step (srun passes it on):
//   slurmstepd: error: *** STEP 12.3 ON node7 CANCELLED AT <time> DUE TO TIME LIMIT ***
// The output may arrive in pieces of any size; only the line being written
// is kept between pieces, so the watch costs no more than one line.
class SlurmNotice
{
public:
    // Scans the next piece of output.
    void feed(const QByteArray &output);
    // The first notice's text between the stars ("STEP 12.3 ON node7
    // CANCELLED AT ... DUE TO TIME LIMIT"), or empty.
    QString cancellation() const { return notice; }
    bool cancelled() const { return !notice.isEmpty(); }
    // Forgets the notice and the partial line, for the next run.
    void clear();

private:
    void scanLine(const QByteArray &line);

    QByteArray partial;
    QString notice;
};

#endif
