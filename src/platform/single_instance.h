#pragma once

namespace quillomat::platform {

// The marker of a running instance. A crashed instance never leaves a stale marker.
class SingleInstance {
 public:
  virtual ~SingleInstance() = default;
  // True when this process now holds the marker; false when another instance holds it.
  virtual bool Claim() = 0;
  virtual void Release() = 0;
};

}  // namespace quillomat::platform
