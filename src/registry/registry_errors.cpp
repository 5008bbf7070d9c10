#include "registry/registry_errors.h"

namespace registry {

const wchar_t kApplicationDefinedError[] = L"Application-defined or object-defined error";
const wchar_t kAssociationItemsMessage[] =
    L"Invalid parameter list passed to CreateAdditionalEXEAssociations - expected Name/Text/Command";
const wchar_t kAssociationClassMissingMessage[] =
    L"Error - attempt to create additional associations before class defined.";

std::wstring RootText(std::int32_t classKey) {
    return std::to_wstring(classKey);
}

std::wstring CreateKeyFailedMessage(const std::wstring &sectionKey) {
    return L"Failed to create registry Key: '" + sectionKey;
}

std::wstring DeleteKeyFailedMessage(std::int32_t classKey, const std::wstring &sectionKey) {
    return L"Failed to delete registry Key: '" + RootText(classKey) + L"',Section: '" + sectionKey;
}

std::wstring OpenForDeleteFailedMessage(std::int32_t classKey, const std::wstring &sectionKey) {
    return L"Failed to open key '" + RootText(classKey) + L"',Section: '" + sectionKey +
           L"' for delete access";
}

std::wstring DeleteValueFailedMessage(std::int32_t classKey, const std::wstring &sectionKey,
                                      const std::wstring &valueKey) {
    return DeleteKeyFailedMessage(classKey, sectionKey) + L"',Key: '" + valueKey;
}

std::wstring SetValueFailedMessage(std::int32_t classKey, const std::wstring &sectionKey,
                                   const std::wstring &valueKey, const std::wstring &lastWrittenText) {
    return L"Failed to set registry value Key: '" + RootText(classKey) + L"',Section: '" + sectionKey +
           L"',Key: '" + valueKey + L"' to value: '" + lastWrittenText + L"'";
}

} // namespace registry
