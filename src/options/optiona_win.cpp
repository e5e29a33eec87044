#include "platform/session_win.h"

namespace marlo {

void OpenOptionsWindow(Session&) {}

}  // namespace marlo
