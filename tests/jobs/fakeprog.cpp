// Stand-in for Atoms and FEFF in the job and queue tests. Its words are
// carried out in order:
//   atoms | feff   role name written to the run log
//   cat            print the file named after "-c" (what Atoms prints)
//   print=TEXT     print TEXT and a line feed
//   garbage        print invalid UTF-8 and a line with a NUL byte in one write
//   log            append "<role> <working dir>" to the file named by FAKE_LOG
//   pidfile        write the process id into fake.pid in the working dir
//   wait=NAME      wait until NAME exists in the working dir (gives up after 60 s)
//   sleep=MS       sleep
//   chi=N          write chi.dat, chip0001.dat .. chipNNNN.dat, files.dat, paths.dat
//   emptychi       write chi.dat with a header but no data
//   nanchi         write chi.dat whose data hold a NaN and an infinity
//   fewchi         write chi.dat with 5 points from k = 5 to 7
//   hugechi        write chi.dat whose data hold a value of 1e308
//   segv           die of SIGSEGV
//   zerochi        make chi.dat a link to /dev/zero
//   fill           write zeros into "filler" until the disk is full
//   fifochi        make chi.dat a FIFO that nobody writes
//   cancelled      print Slurm's notice of a step cancelled at its time limit,
//                  in two writes that split its line
//   abort          crash
//   ignoreterm     ignore SIGTERM from here on
//   exit=N         end with exit code N
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <iostream>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

std::string role = "prog";

void sleepMs(int ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

void writeChi(const std::string &name, double distance, bool withData)
{
    std::ofstream out(name);
    out << " fake FEFF " << name << "\n -----------------------------------\n"
        << "       k          chi          mag           phase @#\n";
    if (!withData)
        return;
    for (int i = 0; i <= 400; ++i) {
        const double k = 0.05 * i;
        const double amp = 0.5 * std::exp(-0.01 * k * k);
        out << "  " << k << "  " << amp * std::sin(2.0 * k * distance) << "  " << amp << "  "
            << 2.0 * k * distance << "\n";
    }
}

// chi.dat, the path files and FEFF's path lists in its layout: path i is
// Cu-Cu at 2 + 0.5 i A, 12-fold, with amplitude ratio 100 / i %.
void writeResults(int paths)
{
    writeChi("chi.dat", 2.55, true);
    std::ofstream files("files.dat");
    std::ofstream list("paths.dat");
    files << " fake FEFF\n ------\n    file        sig2   amp ratio    deg    nlegs  r effective\n";
    list << " fake FEFF\n ------\n";
    for (int i = 1; i <= paths; ++i) {
        char line[512];
        std::snprintf(line, sizeof line, "chip%04d.dat", i);
        writeChi(line, 2.0 + 0.5 * i, true);
        std::snprintf(line, sizeof line, " feff%04d.dat 0.00000 %9.3f %9.3f %5d %8.4f\n", i,
                      100.0 / i, 12.0, 2, 2.0 + 0.5 * i);
        files << line;
        std::snprintf(line, sizeof line,
                      " %5d %4d %7.3f  index, nleg, degeneracy, r= %7.4f\n"
                      "      x           y           z     ipot  label\n"
                      " %11.6f 0.000000 0.000000   1 'Cu    '\n"
                      "    0.000000    0.000000    0.000000   0 'Cu    '\n",
                      i, 2, 12.0, 2.0 + 0.5 * i, 2.0 + 0.5 * i);
        list << line;
    }
}

} // namespace

int main(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        const std::string word = argv[i];
        const std::string::size_type eq = word.find('=');
        const std::string key = word.substr(0, eq);
        const std::string value = eq == std::string::npos ? std::string() : word.substr(eq + 1);
        if (key == "atoms" || key == "feff") {
            role = key;
        } else if (key == "cat") {
            for (int j = 1; j + 1 < argc; ++j) {
                std::ifstream in(argv[j + 1]);
                if (std::string(argv[j]) == "-c" && in)
                    std::cout << in.rdbuf();
                std::cout.clear(); // an empty file sets failbit
            }
        } else if (key == "print") {
            std::cout << value << "\n";
        } else if (key == "garbage") {
            static const char bytes[] = "bad \xff\xfe utf8\nbefore\0after\nend\n";
            std::cout.flush();
            if (write(1, bytes, sizeof bytes - 1) < 0)
                return 3;
        } else if (key == "log") {
            char dir[4096];
            if (const char *path = std::getenv("FAKE_LOG"))
                std::ofstream(path, std::ios::app)
                    << role << " " << (getcwd(dir, sizeof dir) ? dir : "?") << "\n";
        } else if (key == "pidfile") {
            std::ofstream("fake.pid") << getpid() << "\n";
        } else if (key == "wait") {
            std::cout.flush();
            for (int n = 0; n < 6000 && access(value.c_str(), F_OK) != 0; ++n)
                sleepMs(10);
        } else if (key == "sleep") {
            std::cout.flush();
            sleepMs(std::atoi(value.c_str()));
        } else if (key == "chi") {
            writeResults(std::atoi(value.c_str()));
        } else if (key == "emptychi") {
            writeChi("chi.dat", 1.0, false);
        } else if (key == "nanchi" || key == "fewchi" || key == "hugechi") {
            std::ofstream out("chi.dat");
            out << "       k          chi          mag           phase @#\n";
            const char *odd = key == "hugechi" ? "1e308" : "nan";
            for (int n = 0; n < (key == "fewchi" ? 5 : 300); ++n)
                out << 5.0 + 0.5 * n << "  "
                    << (n == 7   ? odd
                        : n == 9 ? "inf"
                                 : "0.1")
                    << "  0  0\n";
        } else if (key == "fill") {
            // Blocks, then single bytes: not one byte is left free.
            const int filler = open("filler", O_WRONLY | O_CREAT | O_TRUNC, 0644);
            static const char block[4096] = {};
            while (filler >= 0 && write(filler, block, sizeof block) == sizeof block) {
            }
            while (filler >= 0 && write(filler, block, 1) == 1) {
            }
            if (filler >= 0)
                close(filler);
        } else if (key == "zerochi") {
            if (symlink("/dev/zero", "chi.dat") != 0)
                return 3;
        } else if (key == "fifochi") {
            if (mkfifo("chi.dat", 0600) != 0)
                return 3;
        } else if (key == "segv") {
            std::cout.flush();
            // The default action, also where a sanitizer has its own handler
            // (which would report and exit with a code instead).
            std::signal(SIGSEGV, SIG_DFL);
            std::raise(SIGSEGV);
        } else if (key == "ignoreterm") {
            std::signal(SIGTERM, SIG_IGN);
        } else if (key == "cancelled") {
            std::cout << "slurmstepd-vm: error: *** STEP 7.3 ON vm CANCEL" << std::flush;
            sleepMs(50);
            std::cout << "LED AT 2026-12-06T14:34:34 DUE TO TIME LIMIT ***\n"
                      << "srun: error: vm: task 0: Terminated\n"
                      << std::flush;
        } else if (key == "abort") {
            std::cout.flush();
            std::abort();
        } else if (key == "exit") {
            std::cout.flush();
            return std::atoi(value.c_str());
        }
    }
    return 0;
}
