// Identifiers of the resources built into Marlo.exe (marlo.rc), shared with the code that loads
// them. Plain #defines, as the resource compiler reads this file too.
#pragma once

#define MARLO_ICON 1

#ifdef __cplusplus
namespace marlo::resource_ids {
inline constexpr int kIcon = MARLO_ICON;
}  // namespace marlo::resource_ids
#endif
