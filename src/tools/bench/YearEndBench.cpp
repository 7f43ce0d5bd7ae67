// The year end on the generated year: the rebuild of running totals, the opening of the new
// year and the transfer of the old year's open items into it, each in a child process of its
// own on a fresh copy of the year, so that its peak memory is its own.

#include <cstdio>
#include <iostream>

#include "tools/bench/Bench.h"
#include "yearend/NewYear.h"
#include "yearend/OpenItems.h"
#include "yearend/RunningTotals.h"

namespace zelvo::bench {

int YearEndChild(const std::string& what, const std::string& dataDir, const std::string& year) {
    Station station(dataDir, year);
    Session& s = *station.session;
    const double t0 = Now();
    bool ok = false;
    if (what == "rico") {
        ok = RebuildRunningTotals(s.archives(), year).done;
    } else if (what == "apanno") {
        ok = OpenNextYear(s, false) == YearOpening::Opened;
    } else if (what == "trapa") {
        const TransferResult r = TransferOpenItems(s);
        ok = r.done;
        std::printf("lines %lld\n", static_cast<long long>(r.lines));
    }
    std::printf("seconds %.4f\n", Now() - t0);
    return ok && station.dialogs.boxes().empty() ? 0 : 1;
}

int YearEndBench(const std::string& dataDir, const std::string& workDir, int rounds, char** argv) {
    std::vector<double> rico, ricoRss, apanno, apannoRss, trapa, trapaRss;
    double lines = 0;
    const std::string next = NextYear(kYear);
    for (int round = 0; round < rounds; ++round) {
        Copy(dataDir, workDir);
        const ChildResult r = Run({argv[0], "yearend-child", "rico", workDir, kYear}, false);
        const ChildResult o = Run({argv[0], "yearend-child", "apanno", workDir, kYear}, false);
        const ChildResult t = Run({argv[0], "yearend-child", "trapa", workDir, next}, false);
        if (!r.ok || !o.ok || !t.ok) {
            std::cerr << "yearend: a child failed\n";
            return 1;
        }
        rico.push_back(r.said.at("seconds"));
        ricoRss.push_back(r.maxRssMb);
        apanno.push_back(o.said.at("seconds"));
        apannoRss.push_back(o.maxRssMb);
        trapa.push_back(t.said.at("seconds"));
        trapaRss.push_back(t.maxRssMb);
        lines = t.said.at("lines");
    }
    std::printf("| `RICO` on the whole year, s (median of %d; target <= 2) | %.3f |\n", rounds,
                Median(rico));
    std::printf("| `RICO`, peak memory MB (target <= 100) | %.1f |\n", Median(ricoRss));
    std::printf("| New-year opening, s (median; target <= 5) | %.3f |\n", Median(apanno));
    std::printf("| New-year opening, peak memory MB (target <= 100) | %.1f |\n", Median(apannoRss));
    std::printf(
        "| `TRAPA` of the year's open items (%.0f lines), s (median; target <= 5) | %.3f |\n",
        lines, Median(trapa));
    std::printf("| `TRAPA`, peak memory MB (target <= 100) | %.1f |\n", Median(trapaRss));
    return 0;
}

}  // namespace zelvo::bench
