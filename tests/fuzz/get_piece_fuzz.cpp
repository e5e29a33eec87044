// GetPiece on any text, delimiter and index: the pieces put together with the delimiter give the
// text back, there is one piece more than there are delimiters, and a piece that does not exist
// is empty.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fakes.h"
#include "main_window/master.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const char delimiter = static_cast<char>(data[0]);
  const int index = static_cast<int8_t>(data[1]);
  const std::string text(reinterpret_cast<const char*>(data) + 2, size - 2);

  fakes::Machine machine;
  fakes::MasterView view;
  marlo::Master master(machine.platform, view);
  const std::string piece = master.GetPiece(text, delimiter, index);

  std::size_t delimiters = 0;
  for (const char c : text) delimiters += c == delimiter;
  if (master.List6.size() != delimiters + 1) std::abort();
  std::string joined = master.List6.front();
  for (std::size_t i = 1; i < master.List6.size(); ++i) joined += delimiter + master.List6[i];
  if (joined != text) std::abort();
  for (const auto& each : master.List6) {
    if (each.find(delimiter) != std::string::npos) std::abort();
  }
  const bool exists = index >= 0 && static_cast<std::size_t>(index) < master.List6.size();
  if (piece != (exists ? master.List6[static_cast<std::size_t>(index)] : "")) std::abort();
  return 0;
}
