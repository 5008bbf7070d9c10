#pragma once
// Error numbers and message texts of cRegistry. The messages quote keys as the original class
// did, root handles as signed decimals and some quotes left open, because callers may show or
// compare them as they are.
#include <cstdint>
#include <string>

namespace registry {

// Numbers above 0x7FFFFFFF are kept as the negative 32-bit numbers that callers see.
constexpr long kErrRegistry = 26001;
constexpr long kErrSetValue = static_cast<std::int32_t>(0x800469A9u);
constexpr long kErrEnumerateSections = static_cast<std::int32_t>(0x800469AAu);
constexpr long kErrAssociationItems = static_cast<std::int32_t>(0x800469ACu);
constexpr long kErrAssociationClassMissing = static_cast<std::int32_t>(0x800469ADu);
// Result of a write whose ValueType the class cannot store.
constexpr long kErrInvalidData = 13;

// Description of an error raised with a number only.
extern const wchar_t kApplicationDefinedError[];
extern const wchar_t kAssociationItemsMessage[];
extern const wchar_t kAssociationClassMissingMessage[];

// The root key as the messages show it: -2147483646 for HKEY_LOCAL_MACHINE.
std::wstring RootText(std::int32_t classKey);

std::wstring CreateKeyFailedMessage(const std::wstring &sectionKey);
std::wstring DeleteKeyFailedMessage(std::int32_t classKey, const std::wstring &sectionKey);
std::wstring OpenForDeleteFailedMessage(std::int32_t classKey, const std::wstring &sectionKey);
std::wstring DeleteValueFailedMessage(std::int32_t classKey, const std::wstring &sectionKey,
                                      const std::wstring &valueKey);
std::wstring SetValueFailedMessage(std::int32_t classKey, const std::wstring &sectionKey,
                                   const std::wstring &valueKey, const std::wstring &lastWrittenText);

} // namespace registry
