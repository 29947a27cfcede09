#include "plot/weightedchir.h"

#include "chi/chi.h"

#include <algorithm>

WeightedChiR::WeightedChiR() = default;
WeightedChiR::~WeightedChiR() = default;

const Chi &WeightedChiR::curve(const Chi &source, int weight)
{
    const TransformArgs &made = source.transformed;
    if (!source.hasChiR || !source.hasChiK || !made.ft.standard || made.ft.kWeight == weight)
        return source;
    for (Entry &e : entries) {
        if (e.source == &source && e.weight == weight && e.generation == source.generation) {
            e.used = true;
            return *e.curve;
        }
    }
    auto copy = std::make_unique<Chi>();
    copy->k = source.k;
    copy->chi = source.chi;
    copy->hasChiK = true;
    copy->sourcePath = source.sourcePath;
    TransformArgs args = made;
    args.ft.kWeight = weight;
    // The settings were fine for the source, so the copy logs nothing new.
    copy->transform(args);
    entries.push_back({&source, source.generation, weight, std::move(copy), true});
    return *entries.back().curve;
}

void WeightedChiR::sweep()
{
    entries.erase(
        std::remove_if(entries.begin(), entries.end(), [](const Entry &e) { return !e.used; }),
        entries.end());
    for (Entry &e : entries)
        e.used = false;
}
