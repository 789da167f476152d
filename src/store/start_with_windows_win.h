#pragma once
// The Run value in the registry of the current user.
#include "store/start_with_windows.h"

namespace ks {

class WinRunValue : public RunValue {
 public:
  std::optional<std::string> Read() override;
  bool Write(const std::string& text) override;
  bool Remove() override;
};

}  // namespace ks
