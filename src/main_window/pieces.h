// Cutting a text at a one-character delimiter, the way every reader of the list file and every
// path computation of the menu does it.
#pragma once

#include <string>
#include <vector>

namespace marlo {

// Cuts `text` at every occurrence of `delimiter` (compared exactly). A text with k delimiters gives
// k + 1 pieces; adjacent delimiters give an empty piece between them; the empty text is one empty
// piece. Runs in time linear in the length of `text`.
std::vector<std::string> CutPieces(const std::string& text, char delimiter);

// Piece `index` (0-based) of `pieces`, or the empty text when there is no such piece.
std::string PieceAt(const std::vector<std::string>& pieces, int index);

}  // namespace marlo
