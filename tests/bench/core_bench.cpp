// The text handling of the core, natively: the menu's reader on a 50 MB list against the same
// bytes only split at line ends with memchr (the limit: no reader can do less), and GetPiece on
// 1 MB of text with no delimiter and with 100,000 of them. Prints the times and, at the end, the
// reader's ratio to the limit.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "fakes.h"
#include "main_window/audience.h"
#include "main_window/list_file.h"
#include "main_window/master.h"
#include "main_window/menu_list.h"

namespace {

constexpr std::size_t kListBytes = 50u << 20;

// A list of ordinary entries, 50 MB long.
const std::string& BigList() {
  static const std::string bytes = [] {
    std::string list;
    list.reserve(kListBytes + 64);
    for (int i = 0; list.size() < kListBytes; ++i) {
      list +=
          "Program " + std::to_string(i) + "=D:\\APPS\\P" + std::to_string(i) + "\\PROGRAM.EXE\r\n";
    }
    return list;
  }();
  return bytes;
}

void BM_SplitAtLineEndsWithMemchr(benchmark::State& state) {
  const std::string& bytes = BigList();
  for (auto _ : state) {
    std::size_t lines = 0;
    const char* at = bytes.data();
    const char* const end = at + bytes.size();
    while (const void* cr = std::memchr(at, '\r', static_cast<std::size_t>(end - at))) {
      ++lines;
      at = static_cast<const char*>(cr) + 1;
    }
    benchmark::DoNotOptimize(lines);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes.size()));
}
BENCHMARK(BM_SplitAtLineEndsWithMemchr)->Unit(benchmark::kMillisecond);

// What the main window does with the bytes it read: captions and paths as parts of them.
void BM_MenuReader(benchmark::State& state) {
  const std::string& bytes = BigList();
  for (auto _ : state) {
    std::vector<std::string_view> captions, paths;
    marlo::EntryViewsOf(bytes, true, captions, paths);
    benchmark::DoNotOptimize(captions.data());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes.size()));
}
BENCHMARK(BM_MenuReader)->Unit(benchmark::kMillisecond);

// What the Options window does: rows of their own.
void BM_OptionsReader(benchmark::State& state) {
  const marlo::ReadResult read{{true}, BigList()};
  for (auto _ : state) benchmark::DoNotOptimize(marlo::EntriesOf(read));
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(read.bytes.size()));
}
BENCHMARK(BM_OptionsReader)->Unit(benchmark::kMillisecond);

void GetPieceOn(benchmark::State& state, const std::string& text) {
  fakes::Machine machine;
  fakes::MasterView view;
  marlo::Master master(machine.platform, view);
  for (auto _ : state) benchmark::DoNotOptimize(master.GetPiece(text, '\\', 5));
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}

void BM_GetPiece1MBNoDelimiter(benchmark::State& state) {
  GetPieceOn(state, std::string(1u << 20, 'x'));
}
BENCHMARK(BM_GetPiece1MBNoDelimiter)->Unit(benchmark::kMicrosecond);

void BM_GetPiece1MB100000Delimiters(benchmark::State& state) {
  std::string text(1u << 20, 'x');
  for (std::size_t i = 0; i < 100000; ++i) text[i * (text.size() / 100000)] = '\\';
  GetPieceOn(state, text);
}
BENCHMARK(BM_GetPiece1MB100000Delimiters)->Unit(benchmark::kMicrosecond);

// A menu of 1,000 entries made from its text as a start-up makes it, without audiences and with one
// on each entry (another computer, a group not looked up, a group of the user's): every entry is
// shown, and each name is asked once, as at every start of a menu.
void MenuOf1000(benchmark::State& state, const char* audience) {
  std::string bytes;
  for (int i = 0; i < 1000; ++i) {
    bytes += "Program " + std::to_string(i) + "=D:\\APPS\\P" + std::to_string(i) + "\\PROGRAM.EXE" +
             audience + "\r\n";
  }
  fakes::Machine machine;
  machine.identity.groups = {{"ADMINISTRATORS", true}};
  for (auto _ : state) {
    marlo::Audiences audiences(machine.identity, machine.locale);
    const auto menu =
        marlo::MenuListOf({marlo::ListForm::kAnsi, bytes}, true,
                          [&](std::string_view names) { return audiences.Includes(names); });
    if (menu->captions.size() != 1000) state.SkipWithError("an entry was not shown");
  }
}
void BM_MenuOf1000(benchmark::State& state) { MenuOf1000(state, ""); }
BENCHMARK(BM_MenuOf1000)->Unit(benchmark::kMicrosecond);
void BM_MenuOf1000WithAudiences(benchmark::State& state) {
  MenuOf1000(state, "=@NOT-HERE-*, No Such Group, Administrators");
}
BENCHMARK(BM_MenuOf1000WithAudiences)->Unit(benchmark::kMicrosecond);

// Keeps the real time of every run by name, to print the ratios once all have run.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  std::map<std::string, double> seconds;
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const auto& run : runs) {
      if (run.iterations > 0) seconds[run.benchmark_name()] = run.GetAdjustedRealTime();
    }
    ConsoleReporter::ReportRuns(runs);
  }
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  const auto limit = reporter.seconds.find("BM_SplitAtLineEndsWithMemchr");
  if (limit != reporter.seconds.end()) {
    for (const char* reader : {"BM_MenuReader", "BM_OptionsReader"}) {
      const auto found = reporter.seconds.find(reader);
      if (found == reporter.seconds.end()) continue;
      std::printf("%s on a 50 MB list: %.2fx the memchr line split\n", reader,
                  found->second / limit->second);
    }
  }
  const auto plain = reporter.seconds.find("BM_MenuOf1000");
  const auto with = reporter.seconds.find("BM_MenuOf1000WithAudiences");
  if (plain != reporter.seconds.end() && with != reporter.seconds.end()) {
    std::printf("A menu of 1,000 entries with audiences: %.2fx the same menu without\n",
                with->second / plain->second);
  }
  benchmark::Shutdown();
  return 0;
}
