#pragma once
// Wine hands every shortcut saved on the desktop to its menu builder, a process of its own that
// reads the shortcut's target while the test goes on; a page that then deletes the target races
// with it. Windows has no such reader, so the tests switch it off while they run.
#include <windows.h>

#include <shlwapi.h>

namespace kittest {

class NoWineMenuBuilder {
  public:
    NoWineMenuBuilder() {
        SHSetValueW(HKEY_CURRENT_USER, kOverrides, kBuilder, REG_SZ, L"", sizeof(wchar_t));
    }
    ~NoWineMenuBuilder() { SHDeleteValueW(HKEY_CURRENT_USER, kOverrides, kBuilder); }
    NoWineMenuBuilder(const NoWineMenuBuilder &) = delete;
    NoWineMenuBuilder &operator=(const NoWineMenuBuilder &) = delete;

  private:
    static constexpr wchar_t kOverrides[] = L"Software\\Wine\\DllOverrides";
    static constexpr wchar_t kBuilder[] = L"winemenubuilder.exe";
};

} // namespace kittest
