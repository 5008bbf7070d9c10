// The library's two exported functions: they turn the C records and callbacks into a run of the
// portable core, and keep every C++ exception on this side of the boundary.
#define VBUZIP_BUILDING
#include "ziplib/vbuzip10.h"

#include <cstring>
#include <exception>

#include "ziplib/status.h"
#include "ziplib/unzip_run.h"

namespace {

constexpr size_t kMaxMessage = 31999; // the host reads 2 to 31999 bytes per message
constexpr int32_t kPasswordBufferSize = 256;

class CallbackHost : public ziplib::Host {
  public:
    explicit CallbackHost(const UnzipCallbacks *callbacks) : callbacks_(callbacks) {}

    void Print(const std::string &message) override {
        if (!callbacks_ || !callbacks_->print)
            return;
        std::string text = message.size() < 2 ? message + std::string(2 - message.size(), ' ') : message;
        if (text.size() > kMaxMessage) {
            size_t cut = kMaxMessage;
            while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
                --cut; // whole characters only
            text.resize(cut);
        }
        callbacks_->print(text.data(), static_cast<uint32_t>(text.size()));
    }

    int32_t AskReplace(const std::string &path) override {
        if (!callbacks_ || !callbacks_->replace)
            return 100;
        return callbacks_->replace(path.c_str());
    }

    bool AskPassword(const std::string &memberPath, std::string &password) override {
        if (!callbacks_ || !callbacks_->password)
            return false;
        // Zeroed first: a host may copy the password without a terminating NUL.
        char buffer[kPasswordBufferSize] = {};
        std::string prompt = "Enter the password for " + memberPath;
        if (callbacks_->password(buffer, kPasswordBufferSize, prompt.c_str(), memberPath.c_str()) != 0)
            return false;
        password.assign(buffer, strnlen(buffer, kPasswordBufferSize));
        return true;
    }

    void List(const ziplib::ListedMember &m) override {
        if (!callbacks_ || !callbacks_->listing)
            return;
        callbacks_->listing(m.size, m.compressedSize, static_cast<uint32_t>(m.factor), m.month, m.day, m.year,
                            m.hour, m.minute, m.flag, m.path.data(), m.method, m.crc, m.encryption);
    }

    bool ShouldStop(const std::string &memberPath) override {
        if (!callbacks_ || !callbacks_->service)
            return false;
        // The count includes the terminating NUL, so even a one-letter name is two bytes.
        return callbacks_->service(memberPath.c_str(), static_cast<uint32_t>(memberPath.size() + 1)) == 1;
    }

  private:
    const UnzipCallbacks *callbacks_;
};

std::vector<std::string> NameList(int32_t count, char **names) {
    std::vector<std::string> list;
    if (!names)
        return list;
    for (int32_t i = 0; i < count; ++i) {
        if (!names[i] || !names[i][0])
            break; // an empty string ends the list
        list.emplace_back(names[i]);
    }
    return list;
}

} // namespace

extern "C" VBUZIP_API int32_t VBUZIP_CALL Wiz_SingleEntryUnzip(int32_t includeCount, char **includeNames,
                                                               int32_t excludeCount, char **excludeNames,
                                                               UnzipOptions *options,
                                                               UnzipCallbacks *callbacks) {
    CallbackHost host(callbacks);
    try {
        if (!options || !options->zipFile) {
            host.Print("no options record or no archive path was given");
            return ziplib::kStatusBadArguments;
        }
        ziplib::RunOptions run;
        run.zipFile = options->zipFile;
        run.extractFolder = options->extractFolder ? options->extractFolder : "";
        run.listOnly = options->listOnly != 0;
        run.testOnly = options->testZip != 0;
        run.useFolderNames = options->useFolderNames != 0;
        run.overwriteExisting = options->overwriteExisting != 0;
        run.extractOnlyNewer = options->extractOnlyNewer != 0;
        run.spaceToUnderscore = options->spaceToUnderscore != 0;
        run.messageLevel = options->messageLevel;
        run.includeNames = NameList(includeCount, includeNames);
        run.excludeNames = NameList(excludeCount, excludeNames);
        return static_cast<int32_t>(ziplib::Run(run, host));
    } catch (const std::exception &e) {
        host.Print(e.what());
        return ziplib::kStatusMemberFailed;
    } catch (...) {
        return ziplib::kStatusMemberFailed;
    }
}

extern "C" VBUZIP_API void VBUZIP_CALL UzpVersion2(UnzipVersionInfo *info) {
    if (!info)
        return;
    std::memset(reinterpret_cast<char *>(info) + sizeof(info->length), 0,
                sizeof *info - sizeof(info->length));
    info->length = sizeof *info;
    std::strncpy(info->betaLevel, "release", sizeof info->betaLevel - 1);
    std::strncpy(info->date, __DATE__, sizeof info->date - 1);
    std::strncpy(info->extra, "zlib", sizeof info->extra - 1);
    // Every block names the library's own version: 1.0.0.
    for (auto &block : info->version) {
        block[0] = 1;
        block[1] = 0;
        block[2] = 0;
        block[3] = 0;
    }
}
