#pragma once
// cRegistry: one registry value or key, named by a root, a key path and a value name that the
// caller sets before each operation. Every operation opens and closes its own key handle, so an
// object holds nothing open between calls. Texts cross to the registry in the ANSI code page.
#include <cstdint>
#include <string>
#include <vector>

#include "registry/registry_value.h"

namespace registry {

// Root keys as the 32-bit numbers ClassKey holds.
constexpr std::int32_t kHkeyClassesRoot = static_cast<std::int32_t>(0x80000000u);
constexpr std::int32_t kHkeyCurrentUser = static_cast<std::int32_t>(0x80000001u);
constexpr std::int32_t kHkeyLocalMachine = static_cast<std::int32_t>(0x80000002u);
constexpr std::int32_t kHkeyUsers = static_cast<std::int32_t>(0x80000003u);

class cRegistry {
  public:
    // Whether SectionKey can be opened under ClassKey.
    bool KeyExists() const;
    // Creates SectionKey, or opens it when it exists. Raises 26001 when it cannot.
    bool CreateKey();
    // Deletes SectionKey (which must have no subkeys). Raises 26001 when it cannot.
    bool DeleteKey();
    // Deletes the value ValueKey of SectionKey. Raises 26001 when it cannot.
    bool DeleteValue();

    // Reads the value; Default when the key or the value cannot be read. A successful read sets
    // ValueType to the stored type.
    RegistryValue Value();
    // Writes the value as ValueType asks; creates SectionKey when needed.
    void Value(const RegistryValue &vValue);

    // The value names and the subkey names of SectionKey, in the registry's order. A key that
    // cannot be opened lists as empty; both return true.
    bool EnumerateValues(std::vector<std::wstring> &sKeyNames, std::int32_t &iKeyCount) const;
    bool EnumerateSections(std::vector<std::wstring> &sSect, std::int32_t &iSectCount) const;

    // Registers a file type with its shell verbs and icon, under HKEY_CLASSES_ROOT and under
    // HKEY_LOCAL_MACHINE\SOFTWARE\Classes. Leaves ClassKey at HKEY_LOCAL_MACHINE.
    void CreateEXEAssociation(const std::wstring &sExePath, const std::wstring &sClassName,
                              const std::wstring &sClassDescription, const std::wstring &sAssociation,
                              const std::wstring &sOpenMenuText = L"", bool bSupportPrint = false,
                              const std::wstring &sPrintMenuText = L"", bool bSupportNew = false,
                              const std::wstring &sNewMenuText = L"", bool bSupportInstall = false,
                              const std::wstring &sInstallMenuText = L"",
                              std::int32_t lDefaultIconIndex = -1);
    // Adds verbs to a class that exists under the current ClassKey: vItems holds triples of verb
    // name, menu text and command.
    void CreateAdditionalEXEAssociations(const std::wstring &sClassName,
                                         const std::vector<RegistryValue> &vItems);

    std::int32_t ValueType() const { return valueType_; }
    void ValueType(std::int32_t eValueType) { valueType_ = eValueType; }
    std::int32_t ClassKey() const { return classKey_; }
    void ClassKey(std::int32_t eKey) { classKey_ = eKey; }
    const std::wstring &SectionKey() const { return sectionKey_; }
    void SectionKey(const std::wstring &sSectionKey) { sectionKey_ = sSectionKey; }
    const std::wstring &ValueKey() const { return valueKey_; }
    void ValueKey(const std::wstring &sValueKey) { valueKey_ = sValueKey; }
    const RegistryValue &Default() const { return default_; }
    void Default(const RegistryValue &vDefault) { default_ = vDefault; }

  private:
    // Writes a text as the value in HKEY_CLASSES_ROOT and again under
    // HKEY_LOCAL_MACHINE\SOFTWARE\Classes; SectionKey is kept, ClassKey ends at HKEY_LOCAL_MACHINE.
    void SetClassValue(const std::wstring &sValue);
    static std::wstring ExpandEnvironmentText(const std::wstring &sText);

    std::int32_t classKey_ = 0;
    std::wstring sectionKey_;
    std::wstring valueKey_;
    RegistryValue lastWritten_;
    RegistryValue default_;
    std::int32_t valueType_ = 0;
};

} // namespace registry
