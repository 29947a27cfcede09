#ifndef WEIGHTEDCHIR_H
#define WEIGHTEDCHIR_H

#include <memory>
#include <vector>

#include <QtGlobal>

class Chi;

// The chi(R) window's k-weight buttons in the standard transform: the
// curves drawn are made again from chi(k) with the chosen weight. Each is
// made once and kept while it is drawn; a curve not asked for during a
// paint is dropped at its end, and one whose source was transformed again
// (or is another object at the same address) is made anew.
class WeightedChiR
{
public:
    WeightedChiR();
    ~WeightedChiR();
    WeightedChiR(const WeightedChiR &) = delete;
    WeightedChiR &operator=(const WeightedChiR &) = delete;

    // The curve to draw for source at k weight 0 to 3: source itself when it
    // was made by the plain sums, without chi(R), or with that weight already.
    const Chi &curve(const Chi &source, int weight);
    // Drops every curve not asked for since the last call.
    void sweep();
    int size() const { return int(entries.size()); }

private:
    struct Entry
    {
        const Chi *source;
        quint64 generation;
        int weight;
        std::unique_ptr<Chi> curve;
        bool used;
    };
    std::vector<Entry> entries;
};

#endif
