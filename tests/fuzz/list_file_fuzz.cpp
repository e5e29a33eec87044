// Any bytes at all as app.txt: reading never fails, and what the Options window would write back
// reads again as the same entries. Cutting at a delimiter loses nothing.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "main_window/list_file.h"
#include "main_window/pieces.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);

  std::vector<marlo::ListEntry> entries;
  for (const auto& line : marlo::SplitLines(bytes)) entries.push_back(marlo::ParseEntry(line));
  std::vector<marlo::ListEntry> again;
  for (const auto& line : marlo::SplitLines(marlo::FormatListFile(entries))) {
    again.push_back(marlo::ParseEntry(line));
  }
  if (again != entries) std::abort();

  const char delimiter = size > 0 ? static_cast<char>(data[0]) : '=';
  const auto pieces = marlo::CutPieces(bytes, delimiter);
  std::string joined = pieces.front();
  for (std::size_t i = 1; i < pieces.size(); ++i) joined += delimiter + pieces[i];
  if (joined != bytes) std::abort();
  return 0;
}
