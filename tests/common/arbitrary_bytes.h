// Arbitrary bytes, the same on every run: what a wrong file saved as app.txt might hold.
#pragma once

#include <cstddef>
#include <string>

namespace test_data {

inline std::string ArbitraryBytes(std::size_t size, unsigned seed = 12345) {
  std::string bytes(size, '\0');
  for (char& c : bytes) {
    seed = seed * 1103515245u + 12345u;
    c = static_cast<char>(seed >> 23);
  }
  return bytes;
}

}  // namespace test_data
