#pragma once

#include "receiver/DugmeSinyali.h"

namespace shell {

// Remote registration (`frmKumandaTanimlama`): while its new-remote panel is open
// (frameKumanda visible, tagged "YeniKumanda") every press is a remote to capture.
class RegistrationTarget {
 public:
  virtual ~RegistrationTarget() = default;
  virtual bool capturingNewRemotes() const = 0;
  virtual void captureNewRemote(const receiver::DugmeSinyali& press) = 0;
};

}  // namespace shell
