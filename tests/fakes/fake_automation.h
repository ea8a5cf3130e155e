// Running automation objects made up for the tests: each answers its properties and records
// the texts it was given; references held are counted so that a leak shows.
#pragma once

#include <map>
#include <memory>
#include <set>
#include <string>

#include "platform/automation.h"
#include "test_util.h"

namespace nokari::test {

class FakeAutomation : public Automation {
 public:
  struct Object {
    Text iid;                                         // the interface it answers to
    std::map<int, std::uintptr_t> handles;            // property position -> value
    std::map<int, std::shared_ptr<Object>> children;  // property position -> object
    std::set<int> failing;                            // positions whose call fails
    std::string name;                                 // for the call log
  };
  std::map<Text, std::shared_ptr<Object>> running;  // by ProgID
  std::vector<std::string> calls;
  int references = 0;  // held now

  std::unique_ptr<AutomationObject> attachRunning(const Text& progId, const Text& iid) override {
    calls.push_back("attach " + utf8(progId));
    auto it = running.find(progId);
    if (it == running.end() || it->second->iid != iid) return nullptr;
    return std::make_unique<Held>(*this, it->second);
  }

 private:
  class Held : public AutomationObject {
   public:
    Held(FakeAutomation& owner, std::shared_ptr<Object> object)
        : owner_(owner), object_(std::move(object)) {
      ++owner_.references;
    }
    ~Held() override { --owner_.references; }
    std::optional<std::uintptr_t> readHandle(int position) override {
      owner_.calls.push_back(object_->name + " handle " + std::to_string(position));
      if (object_->failing.count(position) || !object_->handles.count(position))
        return std::nullopt;
      return object_->handles[position];
    }
    std::unique_ptr<AutomationObject> readObject(int position) override {
      owner_.calls.push_back(object_->name + " object " + std::to_string(position));
      if (object_->failing.count(position) || !object_->children.count(position)) return nullptr;
      return std::make_unique<Held>(owner_, object_->children[position]);
    }
    bool callWithText(int position, const Text& text) override {
      owner_.calls.push_back(object_->name + " call " + std::to_string(position) + " " +
                             utf8(text));
      return !object_->failing.count(position);
    }

   private:
    FakeAutomation& owner_;
    std::shared_ptr<Object> object_;
  };
};

}  // namespace nokari::test
