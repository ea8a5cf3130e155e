// The progress bar as the scanner stages see it.
#pragma once

#include <cstddef>

namespace nokari {

// A bar ranging 0..100; the Windows build hands in the real progress bar.
class Progress {
 public:
  virtual ~Progress() = default;
  virtual int position() const = 0;
  virtual void setPosition(int pos) = 0;
};

// A bar that only remembers its position (command line, tests).
class NullProgress : public Progress {
 public:
  int position() const override { return pos_; }
  void setPosition(int pos) override { pos_ = pos; }

 private:
  int pos_ = 0;
};

// One stage of work over n items, advancing the bar once per n/steps items and resetting it
// to 0 at the end. The bar clamps at 100.
class Stage {
 public:
  Stage(Progress* bar, size_t n, int steps);
  ~Stage();
  Stage(const Stage&) = delete;
  Stage& operator=(const Stage&) = delete;
  // Called before item i is processed.
  void before(size_t i) {
    if (bar_ && i % step_ == 0) advance();
  }

 private:
  void advance();
  Progress* bar_;
  size_t step_;
};

}  // namespace nokari
