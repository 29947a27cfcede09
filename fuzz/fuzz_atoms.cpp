// A CIF file through what "scatterdeck-atoms -c FILE" runs (reading, cell,
// cluster, potentials, FEFF text), and through the site listing.
#include "converter.h"
#include "fuzzinput.h"
#include "options.h"
#include "sitelister.h"

#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Options options;
    options.cifPath = writeFuzzInput(data, size, ".cif");
    std::string text;
    std::string error;
    Converter::run(options, text, error);

    options.listSites = true;
    std::vector<SiteEntry> sites;
    if (SiteLister::list(options, sites, error))
        SiteLister::format(sites);
    return 0;
}
