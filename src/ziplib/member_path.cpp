#include "ziplib/member_path.h"

#include <cstring>

#include "common/text.h"
#include "ziplib/status.h"

namespace ziplib {

namespace {

[[noreturn]] void Refuse(const std::string &why) {
    Fail(kStatusMemberFailed, "refused: its name " + why);
}

void CheckComponent(const std::string &c) {
    if (c == "..")
        Refuse("climbs out of the extraction folder (\"..\")");
    for (char ch : c) {
        if (std::strchr("<>\"|?*", ch))
            Refuse("holds a character that Windows does not allow in file names");
    }
    if (c.back() == '.' || c.back() == ' ')
        Refuse("has a part that ends in a dot or a space, which Windows drops");
    if (IsDeviceName(c))
        Refuse("names a Windows device (" + c + ")");
}

} // namespace

bool IsDeviceName(const std::string &component) {
    std::string base = mend::LowerAscii(component.substr(0, component.find('.')));
    while (!base.empty() && base.back() == ' ')
        base.pop_back();
    static const char *const kNames[] = {"con", "prn", "aux", "nul", "conin$", "conout$", "clock$"};
    for (const char *name : kNames) {
        if (base == name)
            return true;
    }
    if (base.size() >= 4 && (base.compare(0, 3, "com") == 0 || base.compare(0, 3, "lpt") == 0)) {
        std::string digit = base.substr(3);
        // Windows also treats the superscript digits 1, 2 and 3 as port numbers.
        if ((digit.size() == 1 && digit[0] >= '0' && digit[0] <= '9') || digit == "\xC2\xB9" ||
            digit == "\xC2\xB2" || digit == "\xC2\xB3") {
            return true;
        }
    }
    return false;
}

MemberPath CheckedMemberPath(const std::string &name) {
    if (name.empty())
        Refuse("is empty");
    if (name.find('\0') != std::string::npos)
        Refuse("holds a NUL character");
    for (char ch : name) {
        auto b = static_cast<unsigned char>(ch);
        if (b < 0x20 || b == 0x7F)
            Refuse("holds control characters");
    }
    if (name.find('\\') != std::string::npos)
        Refuse("holds a backslash, which Windows reads as a folder separator");
    if (name[0] == '/')
        Refuse("is an absolute path");
    if (name.size() >= 2 && name[1] == ':' &&
        ((name[0] >= 'A' && name[0] <= 'Z') || (name[0] >= 'a' && name[0] <= 'z'))) {
        Refuse("starts with a drive letter");
    }
    if (name.find(':') != std::string::npos)
        Refuse("holds a colon (a drive or an NTFS stream)");

    MemberPath path;
    bool folderEntry = name.back() == '/';
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= name.size()) {
        size_t end = name.find('/', start);
        if (end == std::string::npos)
            end = name.size();
        std::string part = name.substr(start, end - start);
        if (!part.empty() && part != ".") {
            CheckComponent(part);
            parts.push_back(std::move(part));
        }
        start = end + 1;
    }
    if (!folderEntry) {
        if (parts.empty())
            Refuse("has no file name");
        path.fileName = parts.back();
        parts.pop_back();
    }
    path.folders = std::move(parts);
    return path;
}

} // namespace ziplib
