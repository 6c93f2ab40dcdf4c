// The three progress events of the colour reducer and the octree builder.
// Any number of observers may listen; they are called synchronously, on the
// caller's thread, in the order they subscribed.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

namespace plumage::image {

class IProgressObserver {
 public:
  virtual ~IProgressObserver() = default;
  // Once before the loop: the largest value Progress will report.
  virtual void InitProgress(std::int32_t /*lMax*/) {}
  virtual void Progress(std::int32_t /*lPosition*/) {}
  // Once at the end, with the milliseconds the operation took.
  virtual void Complete(std::int32_t /*lTimeMs*/) {}
};

class ProgressEvents {
 public:
  void Subscribe(IProgressObserver* observer) {
    if (observer && std::find(observers_.begin(), observers_.end(), observer) == observers_.end())
      observers_.push_back(observer);
  }
  void Unsubscribe(IProgressObserver* observer) {
    observers_.erase(std::remove(observers_.begin(), observers_.end(), observer), observers_.end());
  }
  // Another source's observers listen here too (an object made for one call).
  void SubscribeAll(const ProgressEvents& other) {
    for (auto* o : other.observers_) Subscribe(o);
  }
  bool empty() const { return observers_.empty(); }

  void InitProgress(std::int32_t lMax) const {
    for (auto* o : observers_) o->InitProgress(lMax);
  }
  void Progress(std::int32_t lPosition) const {
    for (auto* o : observers_) o->Progress(lPosition);
  }
  void Complete(std::int32_t lTimeMs) const {
    for (auto* o : observers_) o->Complete(lTimeMs);
  }

 private:
  std::vector<IProgressObserver*> observers_;
};

}  // namespace plumage::image
