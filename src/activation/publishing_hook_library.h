#pragma once

#include <cstddef>
#include <cstdint>

#include "activation/hook_library.h"

namespace quillomat::activation {

// The publishing half of every hook library: each Up call copies its part of the working
// copy into the shared copy. This class on its own is the library the program runs with
// while no monitor is available: it publishes everything and reports nothing.
class PublishingHookLibrary : public HookLibrary {
 public:
  // shared must hold a whole SharedIndex and outlive the library.
  explicit PublishingHookLibrary(uint8_t* shared) : shared_(shared) {}

  void QlxUpInit(const store::SharedIndex& block) override;
  void QlxUpWindow(const store::SharedIndex& block) override;
  void QlxUpWindow2(const store::SharedIndex& block) override;
  void QlxUpKeys(const store::SharedIndex& block) override;
  void QlxUpShort(const store::SharedIndex& block) override;
  void QlxUpNumKeys(const store::SharedIndex& block) override;
  void QlxUpItem(const store::SharedIndex& block, int macro_number) override;
  void QlxUpProg(const store::SharedIndex& block) override;
  void QlxUpProgs(const store::SharedIndex& block) override;
  void QlxUpCapture(const store::SharedIndex& block) override;
  void QlxUpCaptureOn(const store::SharedIndex& block) override;
  void QlxUpInUse(const store::SharedIndex& block) override;
  void QlxUpKeyHook(const store::SharedIndex& block) override;
  void QlxUpMouseHook(const store::SharedIndex& block) override;

  HookHandle QlxHookKeyboard() override { return 1; }
  HookHandle QlxHookMouse() override { return 2; }
  HookHandle QlxHookCBT() override { return 3; }
  HookHandle QlxHookSwap() override { return 4; }
  bool QlxUnHook(HookHandle handle) override { return handle != 0; }

  const store::SharedIndex& Shared() const {
    return *reinterpret_cast<const store::SharedIndex*>(shared_);
  }

 protected:
  void Attach(uint8_t* shared) { shared_ = shared; }
  void Copy(const store::SharedIndex& block, size_t offset, size_t size);

 private:
  uint8_t* shared_;
};

}  // namespace quillomat::activation
