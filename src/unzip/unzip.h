#pragma once
// cUnzip: lists a zip archive through our zip library, lets the caller choose members and
// extracts the chosen ones into a folder. It decodes nothing itself.
//
// Usage: set ZipFile and UnzipFolder, call Directory, read FileCount and FileName(i), clear
// FileSelected(i) for unwanted members, call Unzip. Indexes run from 1 to FileCount.
#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "unzip/chunked_list.h"
#include "unzip/m_unzip.h"
#include "unzip/member_paths.h"

class cUnzip : public mUnzip::ComponentEvents {
  public:
    cUnzip() = default;
    ~cUnzip();
    cUnzip(const cUnzip &) = delete;
    cUnzip &operator=(const cUnzip &) = delete;

    // Options handed to the library; all start False (0).
    bool ExtractOnlyNewer() const { return options_.fields.extractOnlyNewer != 0; }
    void ExtractOnlyNewer(bool bState) { options_.fields.extractOnlyNewer = bState ? 1 : 0; }
    bool SpaceToUnderScore() const { return options_.fields.spaceToUnderscore != 0; }
    void SpaceToUnderScore(bool bState) { options_.fields.spaceToUnderscore = bState ? 1 : 0; }
    bool PromptToOverwrite() const { return options_.fields.promptToOverwrite != 0; }
    void PromptToOverwrite(bool bState) { options_.fields.promptToOverwrite = bState ? 1 : 0; }
    int32_t MessageLevel() const { return options_.fields.messageLevel; }
    void MessageLevel(int32_t eLevel) { options_.fields.messageLevel = eLevel; }
    bool TestZip() const { return options_.fields.testZip != 0; }
    void TestZip(bool bState) { options_.fields.testZip = bState ? 1 : 0; }
    bool UseFolderNames() const { return options_.fields.useFolderNames != 0; }
    void UseFolderNames(bool bState) { options_.fields.useFolderNames = bState ? 1 : 0; }
    bool OverwriteExisting() const { return options_.fields.overwriteExisting != 0; }
    void OverwriteExisting(bool bState) { options_.fields.overwriteExisting = bState ? 1 : 0; }
    bool ConvertCRToCRLF() const { return options_.fields.convertCRToCRLF != 0; }
    void ConvertCRToCRLF(bool bState) { options_.fields.convertCRToCRLF = bState ? 1 : 0; }
    bool CaseSensitiveFileNames() const { return options_.fields.caseSensitiveFileNames != 0; }
    void CaseSensitiveFileNames(bool bState) { options_.fields.caseSensitiveFileNames = bState ? 1 : 0; }

    // The listed members. Every getter raises error 9 for an index outside 1..FileCount.
    int32_t FileCount() const { return static_cast<int32_t>(entries_.size()); }
    std::wstring FileName(int32_t lIndex) const;
    // FileName as the library sent it (UTF-8), without a conversion or a copy: for callers that
    // look through thousands of names. Valid until the next Directory.
    std::string_view FileNameUtf8(int32_t lIndex) const { return paths_.Name(Entry(lIndex).path); }
    // "dir\sub" for the member dir/sub/file.txt; empty at the archive's root.
    std::wstring FileDirectory(int32_t lIndex) const;
    // The compressed size that the library reports.
    int32_t FileSize(int32_t lIndex) const { return Entry(lIndex).size; }
    // Ratio times size over 100; error 6 when the product does not fit in 32 bits.
    int32_t FilePackedSize(int32_t lIndex) const;
    int32_t FileCompressionRatio(int32_t lIndex) const { return Entry(lIndex).ratio; }
    ZipDate FileDate(int32_t lIndex) const;
    uint32_t FileCRC(int32_t lIndex) const { return Entry(lIndex).crc; }
    const std::wstring &FileCompressionMethod(int32_t lIndex) const { return methods_[Entry(lIndex).method]; }
    bool FileEncrypted(int32_t lIndex) const { return Entry(lIndex).encrypted; }
    bool FileSelected(int32_t lIndex) const { return Entry(lIndex).selected; }
    void FileSelected(int32_t lIndex, bool bSelected) { Entry(lIndex).selected = bSelected; }

    // Appends the archive's members to the list, each selected. Always returns 0; a failed
    // listing simply adds nothing (LibraryStatus tells).
    int32_t Directory();
    // Extracts the selected members into UnzipFolder; True when the library did all of it.
    // Nothing selected out of a listed archive: nothing to do, False. No listing at all: the
    // library is asked for the whole archive.
    bool Unzip();

    void UnzipFolder(const std::wstring &sFolder) { unzipFolder_ = sFolder; }
    std::wstring UnzipFolder() const { return unzipFolder_; }
    std::wstring ZipFile() const { return zipFile_; }
    // Starts over: the member list is emptied.
    void ZipFile(const std::wstring &sFile);

    // The library's version; dDate is left as given.
    void GetVersion(int32_t &lMajor, int32_t &lMinor, int32_t &lRevision, ZipDate &dDate,
                    std::wstring &sExtraInfo);

    // The library's status from the last listing or extraction: 0 when all that was asked succeeded.
    int32_t LibraryStatus() const { return libraryStatus_; }

    // Events. A host subscribes by assigning a handler, which may change the by-reference arguments.
    // The library is working on a member; set bCancel to stop the run.
    std::function<void(const std::wstring &sMsg, bool &bCancel)> Cancel;
    // An existing file would be replaced; eResponse starts at 100 (replace).
    std::function<void(const std::wstring &sFile, int32_t &eResponse)> OverwritePrompt;
    // An encrypted member needs a password; an empty (or all-space) one or bCancel refuses.
    std::function<void(std::wstring &sPassword, bool &bCancel)> PasswordRequest;
    // A message of the library; lCount is always 1.
    std::function<void(int32_t lCount, const std::wstring &sMsg)> Progress;

  private:
    // A listed member, kept small: a listing may hold tens of thousands of them.
    struct ZipListEntry {
        mUnzip::PackedPath path = 0; // name and folder, in paths_
        int32_t size = 0;
        uint32_t crc = 0;
        int16_t ratio = 0;   // the library's factor is a 16-bit value
        uint16_t method = 0; // index into methods_
        // The date as DOS keeps it (years 1980 to 2107); a date outside that is kept as none.
        uint32_t year : 7, month : 4, day : 5, hour : 5, minute : 6;
        uint32_t dated : 1, encrypted : 1, selected : 1;
        ZipListEntry() : year(0), month(0), day(0), hour(0), minute(0), dated(0), encrypted(0), selected(1) {}
    };

    const ZipListEntry &Entry(int32_t lIndex) const;
    ZipListEntry &Entry(int32_t lIndex);
    uint16_t MethodIndex(const char *method);

    // Reached from the module's callbacks only, through ComponentEvents.
    void AddListEntry(std::string_view path, const ZipDate &date, int32_t size, uint32_t crc, bool encrypted,
                      int16_t ratio, const char *method) override;
    bool ListensForProgress() const override { return static_cast<bool>(Progress); }
    bool ListensForCancel() const override { return static_cast<bool>(Cancel); }
    void RaiseCancel(const std::wstring &sMsg, bool &bCancel) override;
    void RaiseOverwritePrompt(const std::wstring &sFile, int32_t &eResponse) override;
    void RaisePasswordRequest(std::wstring &sPassword, bool &bCancel) override;
    void RaiseProgress(int32_t lCount, const std::wstring &sMsg) override;

    std::wstring zipFile_;
    std::wstring unzipFolder_;
    mUnzip::ChunkedList<ZipListEntry> entries_;
    mUnzip::MemberPaths paths_;
    // The few distinct method texts of the listing ("Stored", "Defl:N"), kept once each, found by
    // the library's bytes so that a member's method costs no conversion.
    std::vector<std::wstring> methods_;
    std::unordered_map<std::string, uint16_t> methodIndex_;
    std::string lastMethod_;
    uint16_t lastMethodIndex_ = 0;
    mUnzip::WideUnzipOptions options_;
    int32_t libraryStatus_ = 0;
};
