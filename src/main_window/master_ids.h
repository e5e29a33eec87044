// Window class and control identifiers of the main window, shared with the end-to-end tests that
// drive it.
#pragma once

namespace marlo::master_ids {

inline constexpr const char* kWindowClass = "MarloMaster";
inline constexpr int kCommand1 = 1;  // IDOK: the default command, reached by Enter
inline constexpr int kList7 = 107;
inline constexpr int kCommand3 = 103;
inline constexpr int kCommand5 = 105;
inline constexpr int kLabel1 = 201;
inline constexpr int kLabel5 = 205;
inline constexpr int kLabel10 = 210;
inline constexpr int kMenuBox = 211;
inline constexpr int kTimer2 = 2;
inline constexpr int kTimer3 = 3;      // follows app.txt
inline constexpr int kShowTimer = 4;   // puts the window on screen while the list is still read

}  // namespace marlo::master_ids
