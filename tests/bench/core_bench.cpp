// How the text handling scales: cutting and reading must stay linear in the size of the text.
#include <benchmark/benchmark.h>

#include "main_window/list_file.h"
#include "main_window/pieces.h"

namespace {

void BM_CutPiecesAllDelimiters(benchmark::State& state) {
  const std::string text(static_cast<std::size_t>(state.range(0)), '=');
  for (auto _ : state) benchmark::DoNotOptimize(marlo::CutPieces(text, '='));
  state.SetBytesProcessed(state.iterations() * state.range(0));
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_CutPiecesAllDelimiters)->RangeMultiplier(4)->Range(1 << 12, 1 << 20)->Complexity();

void BM_CutPiecesPath(benchmark::State& state) {
  const std::string path = "D:\\APPS\\SALES\\NEWSALES\\REPORTS\\X.EXE";
  for (auto _ : state) benchmark::DoNotOptimize(marlo::CutPieces(path, '\\'));
}
BENCHMARK(BM_CutPiecesPath);

void BM_SplitListFile(benchmark::State& state) {
  std::string bytes;
  while (bytes.size() < static_cast<std::size_t>(state.range(0))) {
    bytes += "Sales ledger=D:\\APPS\\SALES\\SALES.EXE\r\n";
  }
  for (auto _ : state) {
    for (const auto& line : marlo::SplitLines(bytes))
      benchmark::DoNotOptimize(marlo::ParseEntry(line));
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes.size()));
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_SplitListFile)->RangeMultiplier(4)->Range(1 << 12, 1 << 20)->Complexity();

}  // namespace
