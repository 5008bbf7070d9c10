#pragma once
// What the module needs of the component whose library call runs: a place for the listed
// members and the component's events. The module reaches cUnzip through this and nothing else.
#include <cstdint>
#include <string>
#include <string_view>

// A member's date and time, to the minute.
struct ZipDate {
    int32_t year = 0;
    int32_t month = 0;
    int32_t day = 0;
    int32_t hour = 0;
    int32_t minute = 0;
    int32_t second = 0;
};

namespace mUnzip {

class ComponentEvents {
  public:
    // `path` is the member path as the library sent it (UTF-8, "/" between folders).
    virtual void AddListEntry(std::string_view path, const ZipDate &date, int32_t size, uint32_t crc,
                              bool encrypted, int16_t ratio, const char *method) = 0;
    // False when nobody handles the event, so that the module can spare the text's conversion.
    virtual bool ListensForProgress() const = 0;
    virtual bool ListensForCancel() const = 0;
    virtual void RaiseCancel(const std::wstring &sMsg, bool &bCancel) = 0;
    virtual void RaiseOverwritePrompt(const std::wstring &sFile, int32_t &eResponse) = 0;
    virtual void RaisePasswordRequest(std::wstring &sPassword, bool &bCancel) = 0;
    virtual void RaiseProgress(int32_t lCount, const std::wstring &sMsg) = 0;

  protected:
    ~ComponentEvents() = default;
};

} // namespace mUnzip
