#include "ziplib/unzip_run.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>
#include <unordered_map>
#include <unordered_set>

#include "common/text.h"
#include "ziplib/data_layout.h"
#include "ziplib/directory_memo.h"
#include "ziplib/file_system.h"
#include "ziplib/member_data.h"
#include "ziplib/member_path.h"
#include "ziplib/status.h"
#include "ziplib/zip_directory.h"

namespace ziplib {

namespace {

// Asking more often than this for one member means the host keeps giving wrong passwords.
constexpr int kMaxPasswordPrompts = 5;

class NullSink : public Sink {
  public:
    void Write(const uint8_t *, size_t) override {}
};

class Extraction {
  public:
    Extraction(const RunOptions &options, Host &host, ArchiveFile &archive)
        : options_(options), host_(host), archive_(archive),
          root_(options.extractFolder.empty() ? std::string(".") : options.extractFolder) {}

    long Run(const DirectoryLocation &location);

  private:
    // Finds the asked-for members' entries and where every member's data lies: from the last
    // listing's memo of this archive when there is one, else by reading the whole directory.
    std::vector<DirectoryReader::Place> Choose(const DirectoryLocation &location, DirectoryReader &reader,
                                               std::optional<DataLayout> &layout);
    bool Wanted(const ZipEntry &entry);
    void Member(const ZipEntry &entry);
    void CheckDecodable(const ZipEntry &entry);
    std::unique_ptr<ZipCryptoKeys> Unlock(const ZipEntry &entry, uint64_t dataOffset);
    void Extract(const ZipEntry &entry);
    std::string OutputName(std::string part) const;
    void Progress(const std::string &message) {
        if (options_.messageLevel >= 1)
            host_.Print(message);
    }

    const RunOptions &options_;
    Host &host_;
    ArchiveFile &archive_;
    std::string root_;
    MemberDecoder decoder_;
    // Views of the names in options_: name -> matched.
    std::unordered_map<std::string_view, bool> includes_;
    std::unordered_set<std::string_view> excludes_;
    std::unordered_set<std::string> written_; // case-folded output paths of this run
    std::string password_;
    bool havePassword_ = false;
    bool passwordRefused_ = false;
};

long Extraction::Run(const DirectoryLocation &location) {
    for (const auto &name : options_.includeNames)
        includes_.emplace(name, false);
    for (const auto &name : options_.excludeNames)
        excludes_.insert(name);

    // Before anything is written: where every member's data lies (DataLayout) and, when names
    // were asked for, where those members' entries are.
    DirectoryReader reader(archive_, location);
    ZipEntry entry;
    std::optional<DataLayout> layout;
    std::vector<DirectoryReader::Place> chosen;
    if (includes_.empty()) {
        layout.emplace(archive_, location);
        if (!layout->Damage().empty())
            Fail(kStatusArchiveDamaged, layout->Damage());
    } else {
        chosen = Choose(location, reader, layout);
    }
    if (!options_.testOnly)
        EnsureExtractionFolder(root_);

    long status = kStatusOk;
    auto process = [&] {
        if (host_.ShouldStop(entry.listedName)) {
            host_.Print("stopped by the host before " + entry.listedName);
            return false;
        }
        layout->Apply(entry, reader.OffsetKnown());
        try {
            Member(entry);
        } catch (const std::exception &e) {
            host_.Print(entry.listedName + ": " + e.what());
            status = kStatusMemberFailed;
        }
        return true;
    };
    if (includes_.empty()) {
        while (reader.Next(entry)) {
            if (Wanted(entry) && !process())
                return kStatusStopped;
        }
        if (!reader.Damage().empty())
            Fail(kStatusArchiveDamaged, reader.Damage());
    } else {
        for (const DirectoryReader::Place &place : chosen) {
            reader.Seek(place);
            if (!reader.Next(entry))
                Fail(kStatusArchiveDamaged, reader.Damage()); // read a moment ago: the file changed
            if (Wanted(entry) && !process())
                return kStatusStopped;
        }
    }
    for (const auto &name : options_.includeNames) { // in the caller's order, each name once
        auto found = includes_.find(name);
        if (found != includes_.end() && !found->second) {
            found->second = true;
            host_.Print(name + ": no such member in the archive");
            if (status == kStatusOk)
                status = kStatusNoSuchMember;
        }
    }
    return status;
}

std::vector<DirectoryReader::Place> Extraction::Choose(const DirectoryLocation &location,
                                                       DirectoryReader &reader,
                                                       std::optional<DataLayout> &layout) {
    FileIdentity identity;
    const DirectoryMemo *memo = nullptr;
    if (options_.includeNames.size() <= DirectoryMemo::kMaxNames && archive_.Identify(identity))
        memo = DirectoryMemo::For(identity, location);
    if (memo) {
        DirectoryMemo::Found found = memo->Find(options_.includeNames, reader);
        layout.emplace(std::move(found.offsets), location.start);
        return std::move(found.places);
    }
    // Members of a directory that cannot be read to its end are not trusted at all, so the whole
    // directory is read (the memo is made only by a listing that read it to its end).
    std::vector<DirectoryReader::Place> chosen;
    OffsetList offsets;
    offsets.Reserve(location.entryCount);
    ZipEntry entry;
    for (DirectoryReader::Place place = reader.Tell(); reader.NextRaw(entry); place = reader.Tell()) {
        if (reader.OffsetKnown())
            offsets.Add(entry.localOffset);
        // Most members of a long archive are not asked for: turn those away by their stored
        // name before decoding anything.
        if (reader.ListedAsStored() && includes_.count(reader.RawName()) == 0)
            continue;
        reader.Decode(entry);
        if (includes_.count(entry.listedName))
            chosen.push_back(place);
    }
    if (!reader.Damage().empty())
        Fail(kStatusArchiveDamaged, reader.Damage());
    layout.emplace(std::move(offsets), location.start);
    return chosen;
}

bool Extraction::Wanted(const ZipEntry &entry) {
    if (!includes_.empty()) {
        auto found = includes_.find(entry.listedName);
        if (found == includes_.end())
            return false;
        found->second = true;
    }
    return excludes_.count(entry.listedName) == 0;
}

void Extraction::CheckDecodable(const ZipEntry &entry) {
    if (!entry.problem.empty())
        Fail(kStatusMemberFailed, entry.problem);
    if (entry.IsUnixSymlink())
        Fail(kStatusMemberFailed, "refused: it is a symbolic link, and links are not extracted");
    if (entry.StrongEncryption()) {
        Fail(kStatusMemberFailed, "it uses strong encryption (" + MethodText(entry.method, entry.flags) +
                                      "), which this library cannot decrypt");
    }
    if (!CanDecode(entry.method)) {
        Fail(kStatusMemberFailed, "it is compressed with method " + MethodText(entry.method, entry.flags) +
                                      ", which this library cannot extract (only Stored and Deflate)");
    }
}

void Extraction::Member(const ZipEntry &entry) {
    if (options_.testOnly) {
        if (entry.IsFolder() && entry.problem.empty())
            return;
        CheckDecodable(entry);
        uint64_t dataOffset = LocateData(archive_, entry);
        auto keys = Unlock(entry, dataOffset);
        NullSink sink;
        decoder_.Decode(archive_, entry, dataOffset, keys.get(), sink);
        Progress("testing: " + entry.listedName + "  OK");
        return;
    }
    Extract(entry);
}

std::unique_ptr<ZipCryptoKeys> Extraction::Unlock(const ZipEntry &entry, uint64_t dataOffset) {
    if (!entry.Encrypted())
        return nullptr;
    if (havePassword_) {
        if (auto keys = decoder_.OpenEncrypted(archive_, entry, dataOffset, password_)) {
            return std::make_unique<ZipCryptoKeys>(*keys);
        }
    }
    for (int prompt = 0; prompt < kMaxPasswordPrompts && !passwordRefused_; ++prompt) {
        std::string password;
        if (!host_.AskPassword(entry.listedName, password)) {
            passwordRefused_ = true;
            break;
        }
        if (auto keys = decoder_.OpenEncrypted(archive_, entry, dataOffset, password)) {
            password_ = password;
            havePassword_ = true;
            return std::make_unique<ZipCryptoKeys>(*keys);
        }
        host_.Print(entry.listedName + ": incorrect password");
    }
    Fail(kStatusMemberFailed, "it is encrypted and no correct password was given");
}

std::string Extraction::OutputName(std::string part) const {
    if (options_.spaceToUnderscore) {
        for (char &c : part) {
            if (c == ' ')
                c = '_';
        }
    }
    return part;
}

void Extraction::Extract(const ZipEntry &entry) {
    if (!entry.problem.empty())
        Fail(kStatusMemberFailed, entry.problem);
    MemberPath path = CheckedMemberPath(entry.name);
    if (entry.IsFolder()) {
        if (entry.IsUnixSymlink())
            Fail(kStatusMemberFailed, "refused: it is a symbolic link, and links are not extracted");
        if (!options_.useFolderNames)
            return;
        std::string folder = root_;
        for (const auto &part : path.folders)
            MakeMemberFolder(folder = mend::JoinPath(folder, OutputName(part), kPathSeparator));
        return;
    }
    CheckDecodable(entry);

    std::string folder = root_, relative;
    if (options_.useFolderNames) {
        for (const auto &part : path.folders)
            relative += OutputName(part) + "/";
    }
    relative += OutputName(path.fileName);
    if (!written_.insert(mend::LowerAscii(relative)).second) {
        Fail(kStatusMemberFailed, "refused: another member of this archive was already written to " +
                                      relative + " (duplicate names, or names that differ only in case)");
    }
    uint64_t dataOffset = LocateData(archive_, entry);
    if (options_.useFolderNames) {
        for (const auto &part : path.folders)
            MakeMemberFolder(folder = mend::JoinPath(folder, OutputName(part), kPathSeparator));
    }
    std::string target = mend::JoinPath(folder, OutputName(path.fileName), kPathSeparator);

    ExistingItem existing = Inspect(target);
    if (existing.exists) {
        if (existing.isFolder && !existing.isLink)
            Fail(kStatusMemberFailed, "a folder of that name is in the way");
        // Windows refuses to replace a read-only file (Wine does not); decide it here, the same everywhere.
        if (existing.readOnly)
            Fail(kStatusMemberFailed, "the existing file " + target + " is read-only and is kept");
        uint32_t memberTime = static_cast<uint32_t>(entry.dosDate) << 16 | entry.dosTime;
        if (options_.extractOnlyNewer) {
            if (existing.dosDateTime >= memberTime) {
                Progress("skipping: " + entry.listedName + " (the existing file is as new)");
                return;
            }
        } else if (!options_.overwriteExisting) {
            int32_t answer = host_.AskReplace(target);
            if (answer != 100) {
                Progress("skipping: " + entry.listedName + " (the existing file is kept)");
                return;
            }
        }
    }

    auto keys = Unlock(entry, dataOffset);
    auto output = TemporaryFile::Create(folder);
    decoder_.Decode(archive_, entry, dataOffset, keys.get(), *output);
    output->Finish(entry.dosDate, entry.dosTime);
    output->MoveTo(target);
    Progress((entry.method == 0 ? " extracting: " : "  inflating: ") + entry.listedName);
}

// Reports every entry to the host; what it sees is kept (DirectoryMemo) for the extraction that
// usually follows.
long List(ArchiveFile &archive, const DirectoryLocation &location, Host &host) {
    DirectoryReader reader(archive, location);
    ZipEntry entry;
    std::string listed; // NUL-terminated for the host, its storage reused
    DirectoryMemo::Keep(nullptr);
    FileIdentity identity;
    std::unique_ptr<DirectoryMemo> memo;
    if (location.entryCount <= DirectoryMemo::kMaxEntries && archive.Identify(identity))
        memo = std::make_unique<DirectoryMemo>(identity, location);
    for (DirectoryReader::Place place = reader.Tell(); reader.NextRaw(entry); place = reader.Tell()) {
        if (reader.ListedAsStored()) {
            // Nothing to decode: the common case, kept cheap (a plain copy, no assign).
            std::string_view raw = reader.RawName();
            listed.resize(raw.size());
            std::memcpy(listed.data(), raw.data(), raw.size());
        } else {
            reader.Decode(entry);
            listed.assign(entry.listedName);
        }
        if (host.ShouldStop(listed)) {
            host.Print("stopped by the host before " + listed);
            return kStatusStopped;
        }
        host.List(Describe(entry, listed));
        if (memo && !memo->Add(listed, place, reader.OffsetKnown(), entry.localOffset))
            memo.reset();
    }
    if (!reader.Damage().empty())
        Fail(kStatusArchiveDamaged, reader.Damage());
    DirectoryMemo::Keep(std::move(memo));
    return kStatusOk;
}

} // namespace

long Run(const RunOptions &options, Host &host) {
    try {
        if (options.zipFile.empty())
            Fail(kStatusBadArguments, "no archive was named");
        ReadAheadArchive archive(OpenArchive(options.zipFile));
        DirectoryLocation location = LocateDirectory(archive);
        if (options.listOnly)
            return List(archive, location, host);
        Extraction extraction(options, host, archive);
        return extraction.Run(location);
    } catch (const Failure &failure) {
        host.Print(options.zipFile + ": " + failure.what());
        return failure.Status() ? failure.Status() : kStatusMemberFailed;
    } catch (const std::exception &e) {
        host.Print(options.zipFile + ": " + e.what());
        return kStatusMemberFailed;
    }
}

} // namespace ziplib
