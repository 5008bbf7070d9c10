// The file-type association operations of cRegistry. They only set the object's fields and write
// values through it, so they need no registry calls of their own.
#include "common/error.h"
#include "common/text.h"
#include "registry/c_registry.h"
#include "registry/registry_errors.h"

namespace registry {

namespace {

std::wstring Quoted(const std::wstring &path) {
    std::wstring quoted = mend::TrimSpaces(path);
    if (quoted.empty() || quoted.front() != L'"')
        quoted.insert(quoted.begin(), L'"');
    if (quoted.back() != L'"')
        quoted.push_back(L'"');
    return quoted;
}

const std::wstring &OrDefault(const std::wstring &text, const std::wstring &fallback) {
    return text.empty() ? fallback : text;
}

} // namespace

void cRegistry::SetClassValue(const std::wstring &sValue) {
    classKey_ = kHkeyClassesRoot;
    Value(sValue);
    const std::wstring section = sectionKey_;
    classKey_ = kHkeyLocalMachine;
    sectionKey_ = L"SOFTWARE\\Classes\\" + section;
    try {
        Value(sValue);
    } catch (...) {
        sectionKey_ = section;
        throw;
    }
    sectionKey_ = section;
}

void cRegistry::CreateEXEAssociation(const std::wstring &sExePath, const std::wstring &sClassName,
                                     const std::wstring &sClassDescription, const std::wstring &sAssociation,
                                     const std::wstring &sOpenMenuText, bool bSupportPrint,
                                     const std::wstring &sPrintMenuText, bool bSupportNew,
                                     const std::wstring &sNewMenuText, bool bSupportInstall,
                                     const std::wstring &sInstallMenuText, std::int32_t lDefaultIconIndex) {
    const std::wstring program = Quoted(sExePath);
    valueType_ = kRegSz;
    valueKey_.clear();

    sectionKey_ = L"." + sAssociation;
    SetClassValue(sClassName);
    sectionKey_ = sClassName;
    SetClassValue(sClassDescription);

    auto verb = [&](const std::wstring &name, const std::wstring &menuText, const std::wstring &switches) {
        sectionKey_ = sClassName + L"\\shell\\" + name;
        SetClassValue(menuText);
        sectionKey_ = sClassName + L"\\shell\\" + name + L"\\command";
        SetClassValue(program + switches + L" \"%1\"");
    };
    verb(L"open", OrDefault(sOpenMenuText, L"&Open"), L"");
    if (bSupportPrint)
        verb(L"print", OrDefault(sPrintMenuText, L"&Print"), L" /p");
    if (bSupportInstall)
        verb(L"add", OrDefault(sInstallMenuText, L"&Install " + sAssociation), L" /a");
    if (bSupportNew)
        verb(L"new", OrDefault(sNewMenuText, L"&New"), L" /n");

    if (lDefaultIconIndex >= 0) {
        sectionKey_ = sClassName + L"\\DefaultIcon";
        SetClassValue(program + L"," + std::to_wstring(lDefaultIconIndex));
    }
}

void cRegistry::CreateAdditionalEXEAssociations(const std::wstring &sClassName,
                                                const std::vector<RegistryValue> &vItems) {
    if (vItems.size() % 3 != 0)
        throw mend::Error(kErrAssociationItems, mend::ComponentSource(L".cRegistry"),
                          kAssociationItemsMessage);
    sectionKey_ = sClassName;
    if (!KeyExists())
        throw mend::Error(kErrAssociationClassMissing, mend::ComponentSource(L".cRegistry"),
                          kAssociationClassMissingMessage);

    // A verb that cannot be written does not stop the others.
    auto writeIgnoringFailure = [this](const std::wstring &section, const RegistryValue &text) {
        sectionKey_ = section;
        valueKey_.clear();
        try {
            SetClassValue(TextForm(text));
        } catch (const mend::Error &) {
        }
    };
    for (size_t i = 0; i < vItems.size(); i += 3) {
        valueType_ = kRegSz;
        const std::wstring verbKey = sClassName + L"\\shell\\" + TextForm(vItems[i]);
        writeIgnoringFailure(verbKey, vItems[i + 1]);
        writeIgnoringFailure(verbKey + L"\\command", vItems[i + 2]);
    }
}

} // namespace registry
