#ifndef SITEGROUP_H
#define SITEGROUP_H

#include "app/settings.h"
#include "chi/chi.h"
#include "jobs/demeter.h"

#include <QColor>
#include <QFileInfo>
#include <QObject>
#include <QPair>
#include <QPointer>
#include <QString>
#include <QVector>

// A CIF file computed once per inequivalent site of the absorbing element
// (SITES all): the Atoms program lists the sites, each becomes a job of its
// own in a folder named after its label inside the group's folder, and once
// every site job has chi(k) the group averages them, weighted by the atoms
// each site holds in the unit cell, and writes chiavg.dat and chiR.dat into
// the group's folder.
//
// The group does not own its site jobs: it copies a job's chi(k) when the
// job ends, so a batch run may free the job at once.
class SiteGroup : public QObject
{
    Q_OBJECT
public:
    struct Site
    {
        QString label;
        int multiplicity = 0; // positions in the unit cell
        QString wyckoff;      // empty when the file gives none
        double occupancy = 1;
        double weight() const { return multiplicity * occupancy; }
    };

    enum State : int
    {
        Listing,  // the sites are not known yet
        Running,  // site jobs are under way
        Averaged, // chiavg.dat written, average holds the curve
        Failed,   // the listing or a site job failed, or the average could not be made
    };
    Q_ENUM(State)

    SiteGroup(const Settings &settings, const QFileInfo &cif, QObject *parent = nullptr);

    // Whether a new input becomes a group rather than a job: SITES all and a
    // CIF file that goes through Atoms.
    static bool wanted(const Settings &settings, const QFileInfo &file, bool viaAtoms);

    // Runs the Atoms program with --list-sites and waits for it (a listing
    // takes a fraction of a second; the time limit or a minute at most).
    // False, with the group Failed and the reason on log, when it fails.
    bool listSites();
    // Reads the Atoms program's site list: "label multiplicity wyckoff
    // occupancy" per line, "#" lines skipped. False with `error` when a line
    // cannot be read or no site is listed.
    static bool parseSites(const QString &text, QVector<Site> &sites, QString &error);

    int siteCount() const { return sites.size(); }
    const Site &site(int i) const { return sites.at(i); }
    // The settings of site i's job: its folder inside the group's, its
    // absorber given to the Atoms program by label.
    Settings siteSettings(int i) const;
    QString directory() const { return groupDir; }
    // Every site job's folder with its weight, as the path fit takes them.
    QVector<QPair<QString, double>> siteFolders() const;
    const QFileInfo &input() const { return inputFile; }
    State state() const { return current; }
    // What became of the group: the failure, or the sites and weights.
    QString message() const { return note; }
    // "Fe1 8 (8a), Fe2 16 (16d)": the sites and their weights.
    QString siteSummary() const;
    // Whether the last failure was that of a site job.
    bool siteFailed() const { return failedSite; }

    // Site i's job has ended; its chi(k) is copied. When every site has
    // ended, the group averages (or fails) and reports ended().
    void siteEnded(int i, const Chi &chi, Demeter::Outcome outcome);
    // Follows site i's job for as long as it lives (a FEFF re-run from its
    // panel averages again); a job deleted before it ended fails the group.
    void watch(int i, Demeter *job);

    // The site jobs watched and still alive (GUI only).
    QVector<Demeter *> jobs() const;

    bool isShown() const { return shown; }
    void setShown(bool on);

    Chi average;  // the averaged chi(k) and its chi(R); empty unless Averaged
    QColor color; // invalid until the plot controller assigns one

signals:
    void log(QString msg);
    void changed(); // state or message changed
    void newChi();
    void showChanged();
    // Every site has ended; ok when the average was written.
    void ended(bool ok);

private:
    void fail(const QString &why);
    void finish();
    bool writeAverage();

    Settings settings;
    QFileInfo inputFile;
    QString groupDir;
    QVector<Site> sites;
    QVector<Chi *> siteChi;                 // children; copies of the site jobs' chi(k)
    QVector<int> outcomes;                  // per site: -1 not ended, else Demeter::Outcome
    QVector<QPointer<Demeter>> watchedJobs; // GUI only
    State current = Listing;
    QString note;
    bool shown = false;
    bool failedSite = false;
};

#endif
