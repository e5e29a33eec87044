#include "main_window/pieces.h"

namespace marlo {

std::vector<std::string> CutPieces(const std::string& text, char delimiter) {
  std::vector<std::string> pieces;
  std::string::size_type start = 0;
  for (;;) {
    const auto found = text.find(delimiter, start);
    if (found == std::string::npos) break;
    pieces.emplace_back(text, start, found - start);
    start = found + 1;
  }
  pieces.emplace_back(text, start);
  return pieces;
}

std::string PieceAt(const std::vector<std::string>& pieces, int index) {
  if (index < 0 || static_cast<std::size_t>(index) >= pieces.size()) return {};
  return pieces[static_cast<std::size_t>(index)];
}

}  // namespace marlo
