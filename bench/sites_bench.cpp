// The site list's hot paths against the plainest code that does the same work: IsBlocked against
// one hash-map lookup, loading and saving servers.lst against reading and writing its lines.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/site_list.h"
#include "platform/sim/sim_files.h"
#include "sites/site_file.h"
#include "sites/site_verdict.h"

namespace velmox {
namespace {

std::vector<SiteEntry> MakeEntries(std::size_t count) {
  std::vector<SiteEntry> entries;
  entries.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    entries.push_back({"site" + std::to_string(i) + ".example.com", i % 3 == 0});
  }
  return entries;
}

// Hosts as a browser reports them: listed ones, their www. forms, and unlisted ones.
std::vector<std::string> MakeQueries(std::size_t count) {
  std::mt19937 random(7);
  std::uniform_int_distribution<std::size_t> index(0, count - 1);
  std::vector<std::string> queries;
  for (int i = 0; i < 4096; ++i) {
    const std::string host = "site" + std::to_string(index(random)) + ".example.com";
    switch (i % 3) {
      case 0:
        queries.push_back(host);
        break;
      case 1:
        queries.push_back("www." + host);
        break;
      default:
        queries.push_back("un" + host);
        break;
    }
  }
  return queries;
}

void BM_IsBlocked(benchmark::State& run) {
  const auto count = static_cast<std::size_t>(run.range(0));
  SiteList sites;
  sites.ReplaceAll(MakeEntries(count));
  const auto queries = MakeQueries(count);
  std::size_t i = 0;
  for (auto _ : run) {
    benchmark::DoNotOptimize(IsBlocked(sites, false, queries[i++ & 4095]));
  }
}
BENCHMARK(BM_IsBlocked)->Arg(10)->Arg(1000)->Arg(100000);

// Indexing a whole imported list at once, as loading servers.lst does (copying the entries in
// and freeing the list afterwards are not timed).
void BM_IndexSites(benchmark::State& run) {
  const auto entries = MakeEntries(static_cast<std::size_t>(run.range(0)));
  for (auto _ : run) {
    run.PauseTiming();
    auto sites = std::make_unique<SiteList>();
    std::vector<SiteEntry> copy = entries;
    run.ResumeTiming();
    sites->ReplaceAll(std::move(copy));
    run.PauseTiming();
    sites.reset();
    run.ResumeTiming();
  }
}
BENCHMARK(BM_IndexSites)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

void BM_PlainMapLookup(benchmark::State& run) {
  const auto count = static_cast<std::size_t>(run.range(0));
  std::unordered_map<std::string, bool> map;
  for (const SiteEntry& entry : MakeEntries(count))
    map.emplace(entry.Host, entry.Blocked);
  const auto queries = MakeQueries(count);
  std::size_t i = 0;
  for (auto _ : run) {
    const auto it = map.find(queries[i++ & 4095]);
    benchmark::DoNotOptimize(it != map.end() && it->second);
  }
}
BENCHMARK(BM_PlainMapLookup)->Arg(10)->Arg(1000)->Arg(100000);

constexpr std::size_t kFileRecords = 100000;
const std::string kVirtualFolder = "C:\\Program Files\\Velmox";

// A fresh folder holding a servers.lst of 100,000 records, removed at the end.
struct SitesFolder {
  std::filesystem::path folder;
  std::string file;
  std::vector<std::string> lines;

  SitesFolder() {
    folder = std::filesystem::temp_directory_path() /
             ("velmox-bench-" + std::to_string(std::random_device{}()));
    std::filesystem::create_directories(folder);
    file = (folder / "servers.lst").string();
    SiteList sites;
    sites.ReplaceAll(MakeEntries(kFileRecords));
    for (const SiteEntry& entry : sites.Entries()) {
      lines.push_back("\"" + entry.Host + "\"," + (entry.Blocked ? "#TRUE#" : "#FALSE#"));
    }
    std::ofstream(file, std::ios::binary) << WriteSitesText(sites);
  }
  ~SitesFolder() { std::filesystem::remove_all(folder); }
};

void BM_SetUpBlockedHosts(benchmark::State& run) {
  SitesFolder folder;
  sim::SimFiles files(kVirtualFolder, folder.folder);
  SiteList sites;
  SitesFileState onDisk;
  for (auto _ : run) {
    SetUpBlockedHosts(files, kVirtualFolder, sites, onDisk);
    benchmark::DoNotOptimize(sites.Count());
  }
  if (sites.Count() != kFileRecords) run.SkipWithError("wrong record count");
}
BENCHMARK(BM_SetUpBlockedHosts)->Unit(benchmark::kMillisecond);

void BM_PlainGetlineRead(benchmark::State& run) {
  SitesFolder folder;
  for (auto _ : run) {
    std::ifstream in(folder.file, std::ios::binary);
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(in, line))
      lines.push_back(line);
    benchmark::DoNotOptimize(lines.size());
  }
}
BENCHMARK(BM_PlainGetlineRead)->Unit(benchmark::kMillisecond);

void BM_RecordBlockedHosts(benchmark::State& run) {
  SitesFolder folder;
  sim::SimFiles files(kVirtualFolder, folder.folder);
  SiteList sites;
  sites.ReplaceAll(MakeEntries(kFileRecords));
  SitesFileState onDisk;
  for (auto _ : run) {
    RecordBlockedHosts(files, kVirtualFolder, sites, onDisk);
  }
}
BENCHMARK(BM_RecordBlockedHosts)->Unit(benchmark::kMillisecond);

void BM_PlainOfstreamWrite(benchmark::State& run) {
  SitesFolder folder;
  for (auto _ : run) {
    std::ofstream out(folder.file, std::ios::binary | std::ios::trunc);
    for (const std::string& line : folder.lines)
      out << line << "\r\n";
  }
}
BENCHMARK(BM_PlainOfstreamWrite)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace velmox
