#pragma once
#include <string>

namespace kittest {

// Wine hands every shortcut saved on the desktop to its menu builder, a process of its own that
// reads the shortcut's target while the test goes on; a page that then deletes the target races
// with it. Windows has no such reader, so the tests switch it off for their duration.
class NoWineMenuBuilder {
  public:
    NoWineMenuBuilder();
    ~NoWineMenuBuilder();
    NoWineMenuBuilder(const NoWineMenuBuilder &) = delete;
    NoWineMenuBuilder &operator=(const NoWineMenuBuilder &) = delete;

  private:
    bool hadValue_ = false;
    std::wstring previous_;
};

} // namespace kittest
