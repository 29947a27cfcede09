#include "converter.h"
#include "options.h"
#include "sitelister.h"

#include <cstdio>
#include <string>

#ifndef ATOMS_VERSION
#define ATOMS_VERSION "0"
#endif

namespace {

// The job that runs this program merges standard error into standard output
// and takes its FEFF input from the first " * This" on, so no message may
// contain that marker (a file name could).
void printError(const std::string &message)
{
    std::string text = "scatterdeck-atoms: " + message;
    for (size_t at; (at = text.find("* This")) != std::string::npos;)
        text.replace(at, 6, "*_This");
    std::fprintf(stderr, "%s\n", text.c_str());
}

} // namespace

int main(int argc, char **argv)
{
    Options options;
    std::string error;
    if (!options.parse(argc - 1, argv + 1, error)) {
        printError(error);
        return 2;
    }
    if (options.help) {
        std::fputs(Options::usage().c_str(), stdout);
        return 0;
    }
    if (options.version) {
        std::puts("scatterdeck-atoms " ATOMS_VERSION);
        return 0;
    }
    std::string text;
    if (options.listSites) {
        std::vector<SiteEntry> sites;
        if (!SiteLister::list(options, sites, error)) {
            printError(options.cifPath + ": " + error);
            return 1;
        }
        text = SiteLister::format(sites);
    } else if (!Converter::run(options, text, error)) {
        printError(options.cifPath + ": " + error);
        return 1;
    }
    if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() ||
        std::fflush(stdout) != 0) {
        printError(options.cifPath + ": cannot write to standard output");
        return 1;
    }
    return 0;
}
