// Lists to feed the menu, the same on every run: ordinary ones of any length, and arbitrary
// bytes, as a wrong file saved as app.txt might hold.
#pragma once

#include <cstddef>
#include <string>

namespace test_data {

// `count` entries "Program i=D:\APPS\Pi\PROGRAM.EXE", CR LF each.
inline std::string Entries(int count) {
  std::string list;
  for (int i = 0; i < count; ++i) {
    list +=
        "Program " + std::to_string(i) + "=D:\\APPS\\P" + std::to_string(i) + "\\PROGRAM.EXE\r\n";
  }
  return list;
}

inline std::string ArbitraryBytes(std::size_t size, unsigned seed = 12345) {
  std::string bytes(size, '\0');
  for (char& c : bytes) {
    seed = seed * 1103515245u + 12345u;
    c = static_cast<char>(seed >> 23);
  }
  return bytes;
}

}  // namespace test_data
