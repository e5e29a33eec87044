// Who is at this workstation, as Windows tells it: the computer's name, the user's account, and
// the user's groups as the user's own token holds them.
#pragma once

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
  bool user_known_ = false;
  std::string user_, domain_;
};

}  // namespace marlo
