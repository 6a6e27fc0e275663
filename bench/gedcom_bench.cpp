// Times reading GEDCOM files: persons read, seconds, persons per second and
// the peak memory of the process, one line per file.
//
//   gedcom_bench [--link PATTERN] FILE...
#include "common/KSerrors.h"
#include "import/KSgedcomReader.h"

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    ks::TKSgedcomOptions options;
    int first = 1;
    if (argc > 2 && std::string(argv[1]) == "--link") {
        options.LinkPattern = argv[2];
        first = 3;
    }
    if (first >= argc) {
        std::fprintf(stderr, "usage: gedcom_bench [--link PATTERN] FILE...\n");
        return 2;
    }
    double cpuBefore = 0;
    for (int k = first; k < argc; ++k) {
        ks::TKSimportReport report;
        long persons = 0, withYear = 0;
        const auto start = std::chrono::steady_clock::now();
        try {
            ks::ReadGedcom(
                argv[k], options,
                [&](ks::TKSimportPerson& person) {
                    ++persons;
                    if (!person.BirthYear.empty()) ++withYear;
                },
                report);
        } catch (const ks::EKSError& e) {
            std::fprintf(stderr, "gedcom_bench: %s\n", e.what());
            return 1;
        }
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        // The processor time too: on a busy machine it is the steadier figure.
        const double cpu = usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 +
                           usage.ru_stime.tv_sec + usage.ru_stime.tv_usec / 1e6 - cpuBefore;
        cpuBefore += cpu;
        std::printf("%-28s %9ld persons (%ld with a birth year) in %6.2f s (%.2f s processor "
                    "time): %9.0f persons/s, %ld letters replaced, %zu lines skipped, peak memory "
                    "%ld KB\n",
                    argv[k], persons, withYear, seconds, cpu,
                    persons / (seconds > 0 ? seconds : 1e-9), report.LettersReplaced,
                    report.SkippedLines.size(), usage.ru_maxrss);
    }
    return 0;
}
