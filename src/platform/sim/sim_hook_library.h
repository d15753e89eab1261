#pragma once

#include <string>
#include <vector>

#include "activation/publishing_hook_library.h"
#include "platform/event_loop.h"

namespace quillomat::sim {

// A hook library that publishes into its own shared copy, logs every call ("QlxUpItem 3",
// "QlxHookKeyboard") and lets tests post its messages.
class SimHookLibrary : public activation::PublishingHookLibrary {
 public:
  explicit SimHookLibrary(platform::EventLoop* loop = nullptr);

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
  activation::HookHandle QlxHookKeyboard() override;
  activation::HookHandle QlxHookMouse() override;
  activation::HookHandle QlxHookCBT() override;
  activation::HookHandle QlxHookSwap() override;
  bool QlxUnHook(activation::HookHandle handle) override;

  // Posts a message to the main window as the real library would.
  void PostMessage(uint32_t message, uint32_t wparam = 0, int64_t lparam = 0);

  const std::vector<std::string>& calls() const { return calls_; }
  void ClearCalls() { calls_.clear(); }

 private:
  std::vector<uint8_t> shared_copy_;
  std::vector<std::string> calls_;
  platform::EventLoop* loop_;
};

}  // namespace quillomat::sim
