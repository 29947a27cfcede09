#ifndef FUZZINPUT_H
#define FUZZINPUT_H

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

// The readers under test take file names, so every input is written to one
// file per process first (in $TMPDIR or /tmp), overwritten for each run.
inline const std::string &fuzzInputPath(const char *suffix)
{
    static const std::string path = [suffix] {
        const char *dir = std::getenv("TMPDIR");
        return std::string(dir && *dir ? dir : "/tmp") + "/scatterdeck-fuzz-" +
               std::to_string(getpid()) + suffix;
    }();
    return path;
}

inline const std::string &writeFuzzInput(const uint8_t *data, size_t size, const char *suffix)
{
    const std::string &path = fuzzInputPath(suffix);
    FILE *file = std::fopen(path.c_str(), "wb");
    if (!file || std::fwrite(data, 1, size, file) != size || std::fclose(file) != 0)
        std::abort(); // the fuzzer's own fault, not the reader's
    return path;
}

#endif
