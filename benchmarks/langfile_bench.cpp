// Loading a full-size language file and looking texts up, next to a std::unordered_map
// built from the same entries.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

#include "localization/langres.h"

namespace {
class MemorySource : public ByteSource {
public:
    explicit MemorySource(const std::string& bytes) : bytes_(bytes) {}
    int64_t Tell() override { return pos_; }
    int Read(void* buffer, int count) override {
        if (count <= 0 || pos_ >= (int64_t)bytes_.size()) return 0;
        size_t n = std::min((size_t)count, bytes_.size() - (size_t)pos_);
        memcpy(buffer, bytes_.data() + pos_, n);
        pos_ += (int64_t)n;
        return (int)n;
    }
    void SeekFromStart(int64_t offset) override { pos_ = offset; }

private:
    const std::string& bytes_;
    int64_t pos_ = 0;
};

struct Fixture {
    std::string file;
    std::vector<std::string> present;  // source texts with an entry
    std::vector<std::string> absent;   // source texts without one
    std::vector<std::pair<std::string, std::string>> entries;  // key, translation
};

std::string KeyOf(const std::string& source) {
    char key[KeyLength + 1];
    MakeTranslationKey(key, source.c_str(), nullptr, TextKind::Message);
    return key;
}

// About 1,500 entries whose section fills the whole 65536 bytes that the loader keeps.
const Fixture& Data() {
    static Fixture f = [] {
        Fixture d;
        std::string section = "***messages***\r\n";
        for (int i = 0; section.size() < MaxSectionSize - 64; ++i) {
            std::string source = "Source text " + std::to_string(i * 7919 % 100003);
            std::string translation = "Translation " + std::to_string(i);
            translation.resize(31, '.');  // 44-byte lines: about 1,500 fill the section
            std::string key = KeyOf(source);
            section += key + "=\"" + translation + "\"\r\n";
            d.present.push_back(source);
            d.entries.emplace_back(key, translation);
            d.absent.push_back("Missing text " + std::to_string(i));
        }
        section.resize(MaxSectionSize + 100, ';');  // everything past 65536 is never read
        d.file = "; benchmark language file\r\n" + section;
        return d;
    }();
    return f;
}

std::unordered_map<std::string, std::string> BuildMap() {
    std::unordered_map<std::string, std::string> map;
    for (const auto& e : Data().entries) map.emplace(e.first, e.second);
    return map;
}

void BM_LoadLanguageFile(benchmark::State& state) {
    const Fixture& d = Data();
    for (auto _ : state) {
        LanguageResources language;
        MemorySource source(d.file);
        language.LoadText(source);
        benchmark::DoNotOptimize(language.text);
    }
    LanguageResources language;
    MemorySource source(d.file);
    language.LoadText(source);
    state.counters["entries"] = (double)language.lineIndex.count;
}

void BM_LoadUnorderedMap(benchmark::State& state) {
    for (auto _ : state) {
        auto map = BuildMap();
        benchmark::DoNotOptimize(map.size());
    }
}

// Each lookup computes the text's key and copies the translation (or the source) into a
// message buffer, as GetMsg does.
void Lookups(benchmark::State& state, const std::vector<std::string>& texts) {
    const Fixture& d = Data();
    LanguageResources language;
    MemorySource source(d.file);
    language.LoadText(source);
    char buffer[512];
    size_t i = 0;
    for (auto _ : state) {
        language.Translate(texts[i].c_str(), buffer, nullptr, TextKind::Message);
        benchmark::DoNotOptimize(buffer[0]);
        if (++i == texts.size()) i = 0;
    }
    state.SetItemsProcessed(state.iterations());
}

void MapLookups(benchmark::State& state, const std::vector<std::string>& texts) {
    auto map = BuildMap();
    char buffer[512];
    size_t i = 0;
    for (auto _ : state) {
        const std::string& text = texts[i];
        auto found = map.find(KeyOf(text));
        const std::string& result = found != map.end() ? found->second : text;
        size_t n = std::min(result.size(), sizeof(buffer) - 1);
        memcpy(buffer, result.data(), n);
        buffer[n] = 0;
        benchmark::DoNotOptimize(buffer[0]);
        if (++i == texts.size()) i = 0;
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_LookupPresent(benchmark::State& state) { Lookups(state, Data().present); }
void BM_LookupAbsent(benchmark::State& state) { Lookups(state, Data().absent); }
void BM_MapLookupPresent(benchmark::State& state) { MapLookups(state, Data().present); }
void BM_MapLookupAbsent(benchmark::State& state) { MapLookups(state, Data().absent); }

BENCHMARK(BM_LoadLanguageFile)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LoadUnorderedMap)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LookupPresent);
BENCHMARK(BM_MapLookupPresent);
BENCHMARK(BM_LookupAbsent);
BENCHMARK(BM_MapLookupAbsent);

// Prints the usual table, then each of our figures against the map's.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            std::string name = run.benchmark_name();
            times_[name] = run.GetAdjustedCPUTime();  // the machine is shared: CPU time is steadier
            auto rate = run.counters.find("items_per_second");
            if (rate != run.counters.end()) rates_[name] = rate->second;
        }
    }
    void Summary() const {
        auto time = [&](const char* n) { return times_.count(n) ? times_.at(n) : 0.0; };
        auto rate = [&](const char* n) { return rates_.count(n) ? rates_.at(n) : 0.0; };
        printf("\nload (CPU): language file %.1f us, unordered_map %.1f us, ratio %.2f\n",
               time("BM_LoadLanguageFile"), time("BM_LoadUnorderedMap"),
               time("BM_LoadUnorderedMap") > 0 ? time("BM_LoadLanguageFile") / time("BM_LoadUnorderedMap") : 0);
        const char* kinds[][2] = {{"BM_LookupPresent", "BM_MapLookupPresent"},
                                  {"BM_LookupAbsent", "BM_MapLookupAbsent"}};
        for (auto& k : kinds) {
            double ours = rate(k[0]), map = rate(k[1]);
            printf("%-17s %.2f M lookups/s, unordered_map %.2f M/s, ratio %.2f\n", k[0] + 3,
                   ours / 1e6, map / 1e6, map > 0 ? ours / map : 0);
        }
    }

private:
    std::map<std::string, double> times_;
    std::map<std::string, double> rates_;
};
}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.Summary();
    benchmark::Shutdown();
    return 0;
}
