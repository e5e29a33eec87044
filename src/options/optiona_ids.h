// Window class and control identifiers of the Options window, shared with the end-to-end tests.
#pragma once

namespace marlo::optiona_ids {

inline constexpr const char* kWindowClass = "MarloOptions";
inline constexpr int kTxtName = 301;
inline constexpr int kTxtPath = 302;
inline constexpr int kCmdBrowse = 303;
inline constexpr int kCmdSave = 304;
inline constexpr int kCmdDelete = 305;
inline constexpr int kCmdClose = 306;
inline constexpr int kLV = 307;
inline constexpr int kCmdNew = 308;
inline constexpr int kCmdEdit = 309;
inline constexpr int kLblTitle = 310;
inline constexpr int kLblName = 311;
inline constexpr int kLblPath = 312;
inline constexpr int kLblPosition = 313;
inline constexpr int kTxtAudience = 314;
inline constexpr int kLblAudience = 315;

}  // namespace marlo::optiona_ids
