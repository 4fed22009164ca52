// One panel operation from BeginOperation to EndOperation, ended also when a failure leaves
// the scope (before the failure is reported).
#pragma once

#include "plugin/nntp_plugin.h"

namespace kestrova {

class TOperationScope {
  public:
    TOperationScope(TNntpPlugin& panel, int request, int opMode)
        : panel_(panel), request_(request), previous_(panel.BeginOperation(request, opMode)) {}
    ~TOperationScope() { panel_.EndOperation(request_, previous_); }
    TOperationScope(const TOperationScope&) = delete;
    TOperationScope& operator=(const TOperationScope&) = delete;

  private:
    TNntpPlugin& panel_;
    int request_;
    unsigned previous_;
};

}  // namespace kestrova
