#include "unzip/m_unzip.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <optional>

#include "common/error.h"
#include "common/text.h"
#include "unzip/member_path.h"
#include "unzip/shared_library.h"

namespace mUnzip {

namespace {

ComponentEvents *g_active = nullptr;
bool g_passwordRefused = false;

std::optional<UnzipLibrary> &LibrarySlot() {
    static std::optional<UnzipLibrary> library;
    return library;
}

// The library reads an include or exclude list as 1024 string pointers: the names, then an
// empty string that ends the list, then nulls.
class NarrowNameList {
  public:
    explicit NarrowNameList(const std::vector<std::wstring> &names) : entries_(kMaxListNames + 1, nullptr) {
        if (names.size() > kMaxListNames)
            mend::RaiseSubscriptOutOfRange(mend::ComponentSource(L".VBUnzip"));
        texts_.reserve(names.size() + 1);
        for (const std::wstring &name : names)
            texts_.push_back(mend::Utf8FromWide(name));
        texts_.emplace_back();
        for (size_t i = 0; i < texts_.size(); ++i)
            entries_[i] = texts_[i].data();
    }
    int32_t Count() const { return static_cast<int32_t>(texts_.size() - 1); }
    char **Entries() { return entries_.data(); }

  private:
    std::vector<std::string> texts_;
    std::vector<char *> entries_;
};

// Event handlers are the host's code: whatever they throw stops at the library's boundary, and
// the callback goes on with what the handler left in its arguments.
template <typename F> void Shielded(F &&step) noexcept {
    try {
        step();
    } catch (...) {
    }
}

// `count` bytes from the library, as wide text; nothing for a count the library would not send
// for a real message or path.
std::optional<std::wstring> CountedText(const char *bytes, uint32_t count) {
    if (!bytes || count <= 1 || count >= 32000)
        return std::nullopt;
    return mend::WideFromUtf8(std::string_view(bytes, count));
}

} // namespace

UnzipLibrary &Library() {
    auto &slot = LibrarySlot();
    if (!slot)
        slot.emplace(UnzipLibraryFileName());
    return *slot;
}

void UseLibrary(UnzipLibrary library) {
    LibrarySlot() = std::move(library);
}

ComponentEvents *ActiveComponent() {
    return g_active;
}

void Forget(const ComponentEvents &component) {
    if (g_active == &component)
        g_active = nullptr;
}

int32_t RunUnzip(ComponentEvents &component, WideUnzipOptions &options,
                 const std::vector<std::wstring> &includeNames,
                 const std::vector<std::wstring> &excludeNames) {
    g_active = &component;
    try {
        UnzipCallbacks callbacks = Callbacks::Record();
        NarrowNameList include(includeNames);
        NarrowNameList exclude(excludeNames);
        g_passwordRefused = false;

        std::string zipFile = mend::Utf8FromWide(options.zipFile);
        std::string extractFolder = mend::Utf8FromWide(options.extractFolder);
        UnzipOptions narrow = options.fields;
        narrow.zipFile = zipFile.c_str();
        narrow.extractFolder = extractFolder.c_str();
        WizSingleEntryUnzipFn singleEntryUnzip = Library().SingleEntryUnzip();
        int32_t status = singleEntryUnzip(include.Count(), include.Entries(), exclude.Count(),
                                          exclude.Entries(), &narrow, &callbacks);

        narrow.zipFile = nullptr;
        narrow.extractFolder = nullptr;
        options.fields = narrow;
        return status;
    } catch (const mend::Error &e) {
        g_active = nullptr;
        throw mend::Error(e.Number(), mend::ComponentSource(L".VBUnzip"), e.Description());
    } catch (const std::bad_alloc &) {
        g_active = nullptr;
        throw mend::Error(7, mend::ComponentSource(L".VBUnzip"), L"Out of memory");
    }
}

UnzipCallbacks Callbacks::Record() {
    UnzipCallbacks record{};
    record.print = &Callbacks::Print;
    record.replace = &Callbacks::Replace;
    record.password = &Callbacks::Password;
    record.listing = &Callbacks::Listing;
    record.service = &Callbacks::Service;
    return record;
}

int32_t VBUZIP_CALL Callbacks::Print(const char *text, uint32_t count) {
    Shielded([&] {
        if (!g_active || !g_active->ListensForProgress())
            return; // nobody listens: spare the conversion, which a large archive pays per member
        std::optional<std::wstring> message = CountedText(text, count);
        if (!message)
            return;
        ReplaceAll(*message, L'/', L'\\');
        g_active->RaiseProgress(1, *message);
    });
    return 0;
}

int32_t VBUZIP_CALL Callbacks::Replace(const char *path) {
    int32_t answer = 100;
    Shielded([&] {
        std::wstring file = CutAtNul(mend::WideFromUtf8(path ? path : ""));
        ReplaceAll(file, L'/', L'\\');
        if (g_active)
            g_active->RaiseOverwritePrompt(file, answer);
    });
    return answer;
}

int32_t VBUZIP_CALL Callbacks::Password(char *buffer, int32_t bufferSize, const char * /*prompt*/,
                                        const char * /*memberPath*/) {
    if (g_passwordRefused)
        return 1;
    int32_t result = 1;
    Shielded([&] {
        std::wstring password;
        bool cancel = false;
        Shielded([&] {
            if (g_active)
                g_active->RaisePasswordRequest(password, cancel);
        });
        password = mend::TrimSpaces(password);
        if (password.empty() || cancel) {
            g_passwordRefused = true;
            return;
        }
        if (!buffer || bufferSize < 1)
            return;
        // The library reads a NUL-terminated password; 254 bytes is the most it has ever been given.
        std::string narrow = mend::Utf8FromWide(password);
        size_t n = std::min<size_t>({narrow.size(), 254, static_cast<size_t>(bufferSize) - 1});
        std::memcpy(buffer, narrow.data(), n);
        buffer[n] = '\0';
        result = 0;
    });
    return result;
}

void VBUZIP_CALL Callbacks::Listing(uint32_t /*uncompressedSize*/, uint32_t compressedSize, uint32_t factor,
                                    uint32_t month, uint32_t day, uint32_t year, uint32_t hour,
                                    uint32_t minute, int32_t /*flag*/, const char *path, const char *method,
                                    uint32_t crc, int32_t encryption) {
    Shielded([&] {
        if (!g_active)
            return;
        // The whole NUL-terminated path: a cut at a fixed length would list a member under a
        // name that the library does not know.
        ZipDate date;
        date.year = static_cast<int32_t>(year);
        date.month = static_cast<int32_t>(month);
        date.day = static_cast<int32_t>(day);
        date.hour = static_cast<int32_t>(hour);
        date.minute = static_cast<int32_t>(minute);
        bool encrypted = (encryption & 64) != 0;
        auto ratio = static_cast<int16_t>(factor & 0xFFFF);
        g_active->AddListEntry(path ? path : "", date, static_cast<int32_t>(compressedSize), crc, encrypted,
                               ratio, method);
    });
}

int32_t VBUZIP_CALL Callbacks::Service(const char *path, uint32_t count) {
    bool cancel = false;
    Shielded([&] {
        if (!g_active || !g_active->ListensForCancel())
            return; // nobody listens: spare the conversion, which a large archive pays per member
        std::optional<std::wstring> text = CountedText(path, count);
        if (!text)
            return;
        std::wstring member = CutAtNul(std::move(*text));
        ReplaceAll(member, L'\\', L'/');
        g_active->RaiseCancel(member, cancel);
    });
    return cancel ? 1 : 0;
}

} // namespace mUnzip
