// The key and value operations of cRegistry over the narrow registry calls.
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <optional>

#include "common/error.h"
#include "registry/c_registry.h"
#include "registry/registry_errors.h"
#include "win32/ansi.h"
#include "win32/handle.h"

namespace registry {

namespace {

// Access rights the class asks for: query a value, list subkeys, and everything for writing.
constexpr REGSAM kQueryAccess = KEY_QUERY_VALUE;
constexpr REGSAM kEnumerateAccess = KEY_ENUMERATE_SUB_KEYS;
constexpr REGSAM kWriteAccess = 0x3F;
// The longest subkey name RegEnumKeyA may return, with its NUL.
constexpr DWORD kSectionNameBuffer = 255;

std::wstring Source() {
    return mend::ComponentSource(L".cRegistry");
}

// Predefined roots are negative 32-bit numbers; a 64-bit HKEY holds them sign-extended.
HKEY Root(std::int32_t classKey) {
    return reinterpret_cast<HKEY>(static_cast<INT_PTR>(classKey));
}

LONG OpenKey(std::int32_t classKey, const std::wstring &sectionKey, REGSAM access, win32::RegKey &key) {
    return RegOpenKeyExA(Root(classKey), win32::AnsiFromWide(sectionKey).c_str(), 0, access, key.Receive());
}

LONG CreateOrOpenKey(std::int32_t classKey, const std::wstring &sectionKey, win32::RegKey &key) {
    char noClass[1] = "";
    SECURITY_ATTRIBUTES security{};
    DWORD disposition = 0;
    return RegCreateKeyExA(Root(classKey), win32::AnsiFromWide(sectionKey).c_str(), 0, noClass, 0,
                           kWriteAccess, &security, key.Receive(), &disposition);
}

// The value's data in full, or nothing when it cannot be read. Asks again with a larger buffer
// when the value grew, or its narrow form turned out longer, than the first answer said.
std::optional<std::string> ReadData(HKEY key, const std::string &name, DWORD size, DWORD &type) {
    std::string data(size, '\0');
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD got = static_cast<DWORD>(data.size());
        LONG rc = RegQueryValueExA(key, name.c_str(), nullptr, &type,
                                   data.empty() ? nullptr : reinterpret_cast<BYTE *>(data.data()), &got);
        if (rc == ERROR_SUCCESS && data.empty() && got > 0) {
            data.assign(got, '\0'); // the value grew since the probe: only the size came back
            continue;
        }
        if (rc == ERROR_SUCCESS) {
            data.resize(std::min<size_t>(got, data.size()));
            return data;
        }
        if (rc != ERROR_MORE_DATA)
            break;
        data.assign(std::max<size_t>(got, data.size() * 2), '\0');
    }
    return std::nullopt;
}

} // namespace

bool cRegistry::KeyExists() const {
    win32::RegKey key;
    return OpenKey(classKey_, sectionKey_, kQueryAccess, key) == ERROR_SUCCESS;
}

bool cRegistry::CreateKey() {
    win32::RegKey key;
    if (CreateOrOpenKey(classKey_, sectionKey_, key) != ERROR_SUCCESS)
        throw mend::Error(kErrRegistry, Source(), CreateKeyFailedMessage(sectionKey_));
    return true;
}

bool cRegistry::DeleteKey() {
    if (RegDeleteKeyA(Root(classKey_), win32::AnsiFromWide(sectionKey_).c_str()) != ERROR_SUCCESS)
        throw mend::Error(kErrRegistry, Source(), DeleteKeyFailedMessage(classKey_, sectionKey_));
    return true;
}

bool cRegistry::DeleteValue() {
    win32::RegKey key;
    if (OpenKey(classKey_, sectionKey_, kWriteAccess, key) != ERROR_SUCCESS)
        throw mend::Error(kErrRegistry, Source(), OpenForDeleteFailedMessage(classKey_, sectionKey_));
    if (RegDeleteValueA(key.Get(), win32::AnsiFromWide(valueKey_).c_str()) != ERROR_SUCCESS)
        throw mend::Error(kErrRegistry, Source(),
                          DeleteValueFailedMessage(classKey_, sectionKey_, valueKey_));
    return true;
}

RegistryValue cRegistry::Value() {
    win32::RegKey key;
    // A key that cannot be opened holds no value: asking through an unopened handle could reach
    // whatever key the handle happens to name.
    if (OpenKey(classKey_, sectionKey_, kQueryAccess, key) != ERROR_SUCCESS)
        return default_;

    std::string name = win32::AnsiFromWide(valueKey_);
    DWORD type = 0;
    BYTE probe[4];
    DWORD size = 0;
    LONG rc = RegQueryValueExA(key.Get(), name.c_str(), nullptr, &type, probe, &size);
    if (rc != ERROR_SUCCESS && rc != ERROR_MORE_DATA)
        return default_;
    valueType_ = static_cast<std::int32_t>(type);

    std::optional<std::string> data = ReadData(key.Get(), name, size, type);
    if (!data)
        return default_;
    valueType_ = static_cast<std::int32_t>(type);
    switch (ShapeOfStoredType(valueType_)) {
    case ReadShape::Text:
        return win32::WideFromAnsi(TextFromStored(*data));
    case ReadShape::ExpandedText:
        return ExpandEnvironmentText(win32::WideFromAnsi(TextFromStored(*data)));
    case ReadShape::Dword:
        return DwordFromStored(*data);
    case ReadShape::BigEndianDword:
        return ReverseByteOrder(DwordFromStored(*data));
    case ReadShape::Bytes:
        break;
    }
    return BytesFromStored(*data);
}

void cRegistry::Value(const RegistryValue &vValue) {
    win32::RegKey key;
    if (CreateOrOpenKey(classKey_, sectionKey_, key) != ERROR_SUCCESS)
        throw mend::Error(kErrRegistry, Source(),
                          SetValueFailedMessage(classKey_, sectionKey_, valueKey_, TextForm(lastWritten_)));

    std::string name = win32::AnsiFromWide(valueKey_);
    WritePlan plan = PlanWrite(valueType_, vValue);
    LONG result = ERROR_SUCCESS;
    switch (plan.kind) {
    case WritePlan::Write:
        if (plan.type == kRegSz || plan.type == kRegExpandSz) {
            std::string text = win32::AnsiFromWide(plan.text);
            result = RegSetValueExA(key.Get(), name.c_str(), 0, static_cast<DWORD>(plan.type),
                                    reinterpret_cast<const BYTE *>(text.c_str()),
                                    static_cast<DWORD>(text.size() + 1));
        } else {
            result = RegSetValueExA(key.Get(), name.c_str(), 0, static_cast<DWORD>(plan.type),
                                    plan.data.data(), static_cast<DWORD>(plan.data.size()));
        }
        break;
    case WritePlan::Nothing:
        break;
    case WritePlan::InvalidData:
        result = kErrInvalidData;
        break;
    case WritePlan::NotByteArray:
        throw mend::Error(kErrRegistry, Source(), kApplicationDefinedError);
    }
    key.Reset();
    if (result != ERROR_SUCCESS)
        throw mend::Error(kErrSetValue, Source(),
                          SetValueFailedMessage(classKey_, sectionKey_, valueKey_, TextForm(lastWritten_)));
    lastWritten_ = vValue;
}

bool cRegistry::EnumerateValues(std::vector<std::wstring> &sKeyNames, std::int32_t &iKeyCount) const {
    iKeyCount = 0;
    sKeyNames.clear();
    win32::RegKey key;
    if (OpenKey(classKey_, sectionKey_, kQueryAccess, key) != ERROR_SUCCESS)
        return true;
    DWORD longest = 0;
    if (RegQueryInfoKeyA(key.Get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &longest,
                         nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return true;
    for (DWORD index = 0;; ++index) {
        std::string name(longest + 1, '\0');
        DWORD length = longest + 1;
        if (RegEnumValueA(key.Get(), index, name.data(), &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        name.resize(std::min<size_t>(length, name.size()));
        sKeyNames.push_back(win32::WideFromAnsi(name));
        ++iKeyCount;
    }
    return true;
}

bool cRegistry::EnumerateSections(std::vector<std::wstring> &sSect, std::int32_t &iSectCount) const {
    iSectCount = 0;
    sSect.clear();
    win32::RegKey key;
    if (OpenKey(classKey_, sectionKey_, kEnumerateAccess, key) != ERROR_SUCCESS)
        return true;
    try {
        for (DWORD index = 0;; ++index) {
            char name[kSectionNameBuffer] = {};
            if (RegEnumKeyA(key.Get(), index, name, kSectionNameBuffer) != ERROR_SUCCESS)
                break;
            sSect.push_back(win32::WideFromAnsi(std::string_view(name, strnlen(name, kSectionNameBuffer))));
            ++iSectCount;
        }
    } catch (const mend::Error &e) {
        throw mend::Error(kErrEnumerateSections, Source(), e.Description());
    } catch (const std::bad_alloc &) {
        throw mend::Error(kErrEnumerateSections, Source(), L"Out of memory");
    }
    return true;
}

std::wstring cRegistry::ExpandEnvironmentText(const std::wstring &sText) {
    std::string text = win32::AnsiFromWide(sText);
    DWORD needed = ExpandEnvironmentStringsA(text.c_str(), nullptr, 0);
    if (needed == 0)
        return sText;
    // The narrow call may want one character more than it reports; give it room and cut at the NUL.
    std::string expanded(needed + 1, '\0');
    if (ExpandEnvironmentStringsA(text.c_str(), expanded.data(), needed + 1) == 0)
        return sText;
    expanded.resize(strnlen(expanded.c_str(), expanded.size()));
    return win32::WideFromAnsi(expanded);
}

} // namespace registry
