// Who is at this workstation, as Windows tells it: the computer's name, the user's account, and
// the user's groups as the user's own token holds them.
#pragma once

#include <windows.h>

#include "platform/platform.h"

namespace marlo {

class Win32Identity : public Identity {
 public:
  std::string ComputerName() override;
  std::string UserName() override;
  std::string UserDomain() override;
  std::optional<bool> InGroup(const std::string& name) override;

 private:
  void LookUpUser();
  void FindUser();
  // Every window's lanes share this object: the user's account is looked up once, under a lock.
  SRWLOCK lock_ = SRWLOCK_INIT;
  bool user_known_ = false;
  std::string user_, domain_;
};

}  // namespace marlo
