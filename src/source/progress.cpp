#include "source/progress.h"

namespace nokari {

Stage::Stage(Progress* bar, size_t n, int steps) : bar_(bar) {
  step_ = steps > 0 ? n / static_cast<size_t>(steps) : n;
  if (step_ == 0) step_ = 1;
}

Stage::~Stage() {
  if (bar_) bar_->setPosition(0);
}

void Stage::advance() {
  int p = bar_->position() + 1;
  bar_->setPosition(p > 100 ? 100 : p);
}

}  // namespace nokari
