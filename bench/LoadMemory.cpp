// Loads one XML file with one implementation and reports the peak resident
// memory of the whole process, so that implementations compare as separate
// processes; or writes the generated "records" document to a file first.
//
//   brindle-loadmem generate FILE [MB]          records document of about MB megabytes (100)
//   brindle-loadmem brindle|pugixml|libxml2 FILE

#include "bench/DocumentGenerator.h"
#include "bench/Implementations.h"

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

constexpr double KMegabyte = 1024.0 * 1024.0;

// Peak resident set size of this process so far, in megabytes.
double PeakResidentMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) * 1024.0 / KMegabyte;  // ru_maxrss is in kilobytes
}

int Usage()
{
    std::fprintf(stderr,
                 "usage: brindle-loadmem generate FILE [MB]\n"
                 "       brindle-loadmem brindle|pugixml|libxml2 FILE\n");
    return 2;
}

int Generate(const std::string& fileName, double megabytes)
{
    if (!(megabytes > 0)) return Usage();
    const auto document =
        brindle::bench::GenerateRecords(static_cast<std::size_t>(megabytes * KMegabyte));
    std::ofstream out(fileName, std::ios::binary | std::ios::trunc);
    out.write(document.Text.data(), static_cast<std::streamsize>(document.Text.size()));
    out.close();
    if (!out) {
        std::fprintf(stderr, "brindle-loadmem: cannot write %s\n", fileName.c_str());
        return 1;
    }
    std::printf("%s: %.1f MB, %zu elements, %zu attributes\n", fileName.c_str(),
                static_cast<double>(document.Text.size()) / KMegabyte, document.Elements, document.Attributes);
    return 0;
}

int Load(const std::string& name, const std::string& fileName)
{
    auto implementation = brindle::bench::MakeImplementation(name);
    if (!implementation) return Usage();
    const double atStart = PeakResidentMegabytes();
    const auto started = std::chrono::steady_clock::now();
    const bool loaded = implementation->LoadFile(fileName);
    const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - started;
    const double peak = PeakResidentMegabytes();
    if (!loaded) {
        std::fprintf(stderr, "%s: cannot load %s: %s\n", name.c_str(), fileName.c_str(),
                     implementation->Error().c_str());
        return 1;
    }
    // Counted after the peak was taken, so the walk cannot add to it.
    const auto counts = implementation->Count();
    std::printf("%-8s peak RSS %8.1f MB   (%.1f MB at start)   load %6.2f s   %zu elements, %zu attributes\n",
                name.c_str(), peak, atStart, seconds.count(), counts.Elements, counts.Attributes);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3) return Usage();
    const std::string command = argv[1];
    if (command == "generate") {
        if (argc > 4) return Usage();
        return Generate(argv[2], argc == 4 ? std::atof(argv[3]) : 100.0);
    }
    if (argc != 3) return Usage();
    return Load(command, argv[2]);
}
