#include "platform/sim/sim_hook_library.h"

namespace quillomat::sim {

SimHookLibrary::SimHookLibrary(platform::EventLoop* loop)
    : PublishingHookLibrary(nullptr), shared_copy_(store::kSharedIndexSize, 0), loop_(loop) {
  Attach(shared_copy_.data());
}

#define QL_LOGGED(name)                                        \
  void SimHookLibrary::name(const store::SharedIndex& block) { \
    calls_.push_back(#name);                                   \
    PublishingHookLibrary::name(block);                        \
  }
QL_LOGGED(QlxUpInit)
QL_LOGGED(QlxUpWindow)
QL_LOGGED(QlxUpWindow2)
QL_LOGGED(QlxUpKeys)
QL_LOGGED(QlxUpShort)
QL_LOGGED(QlxUpNumKeys)
QL_LOGGED(QlxUpProg)
QL_LOGGED(QlxUpProgs)
QL_LOGGED(QlxUpCapture)
QL_LOGGED(QlxUpCaptureOn)
QL_LOGGED(QlxUpInUse)
QL_LOGGED(QlxUpKeyHook)
QL_LOGGED(QlxUpMouseHook)
#undef QL_LOGGED

void SimHookLibrary::QlxUpItem(const store::SharedIndex& block, int macro_number) {
  calls_.push_back("QlxUpItem " + std::to_string(macro_number));
  PublishingHookLibrary::QlxUpItem(block, macro_number);
}

activation::HookHandle SimHookLibrary::QlxHookKeyboard() {
  calls_.push_back("QlxHookKeyboard");
  return PublishingHookLibrary::QlxHookKeyboard();
}
activation::HookHandle SimHookLibrary::QlxHookMouse() {
  calls_.push_back("QlxHookMouse");
  return PublishingHookLibrary::QlxHookMouse();
}
activation::HookHandle SimHookLibrary::QlxHookCBT() {
  calls_.push_back("QlxHookCBT");
  return PublishingHookLibrary::QlxHookCBT();
}
activation::HookHandle SimHookLibrary::QlxHookSwap() {
  calls_.push_back("QlxHookSwap");
  return PublishingHookLibrary::QlxHookSwap();
}
bool SimHookLibrary::QlxUnHook(activation::HookHandle handle) {
  calls_.push_back("QlxUnHook " + std::to_string(handle));
  return PublishingHookLibrary::QlxUnHook(handle);
}

void SimHookLibrary::PostMessage(uint32_t message, uint32_t wparam, int64_t lparam) {
  if (loop_) loop_->Post({message, wparam, lparam});
}

}  // namespace quillomat::sim
