// What every form shares: it tells its view what changed and when it closed.
#pragma once

namespace plumage {

class IFormObserver {
 public:
  virtual ~IFormObserver() = default;
  virtual void FormChanged() = 0;  // some control state changed: redraw from it
  virtual void FormClosed() = 0;   // the form unloaded itself
};

class Form {
 public:
  virtual ~Form() = default;
  void SetObserver(IFormObserver* observer) { observer_ = observer; }
  bool Unloaded() const { return unloaded_; }

 protected:
  void NotifyChanged() {
    if (observer_) observer_->FormChanged();
  }
  // Unload: the form is closed and its view goes away.
  void Unload() {
    if (unloaded_) return;
    unloaded_ = true;
    if (observer_) observer_->FormClosed();
  }

 private:
  IFormObserver* observer_ = nullptr;
  bool unloaded_ = false;
};

}  // namespace plumage
