#include "wine_menu_builder.h"

#include <windows.h>

#include "win32/handle.h"

namespace kittest {

namespace {
constexpr wchar_t kOverrides[] = L"Software\\Wine\\DllOverrides";
constexpr wchar_t kMenuBuilder[] = L"winemenubuilder.exe";
} // namespace

NoWineMenuBuilder::NoWineMenuBuilder() {
    win32::RegKey key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kOverrides, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr,
                        key.Receive(), nullptr) != ERROR_SUCCESS)
        return;
    wchar_t value[256] = L"";
    DWORD size = sizeof value - sizeof(wchar_t), type = 0;
    hadValue_ = RegQueryValueExW(key.Get(), kMenuBuilder, nullptr, &type, reinterpret_cast<BYTE *>(value),
                                 &size) == ERROR_SUCCESS &&
                type == REG_SZ;
    if (hadValue_)
        previous_ = value;
    RegSetValueExW(key.Get(), kMenuBuilder, 0, REG_SZ, reinterpret_cast<const BYTE *>(L""), sizeof(wchar_t));
}

NoWineMenuBuilder::~NoWineMenuBuilder() {
    win32::RegKey key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kOverrides, 0, KEY_WRITE, key.Receive()) != ERROR_SUCCESS)
        return;
    if (hadValue_)
        RegSetValueExW(key.Get(), kMenuBuilder, 0, REG_SZ, reinterpret_cast<const BYTE *>(previous_.c_str()),
                       static_cast<DWORD>((previous_.size() + 1) * sizeof(wchar_t)));
    else
        RegDeleteValueW(key.Get(), kMenuBuilder);
}

} // namespace kittest
