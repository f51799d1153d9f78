#include "document/unit_lookup_index.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstring>
#include <ctime>
#include <unordered_map>
#include <utility>

#include "document/file_descriptor.h"

namespace pq {

namespace {

// The layout of the file (stamps as ChangeStamp, whose fields have fixed
// widths), in the byte order of the machine that wrote it
// (the program's own stamp keeps it to that machine):
//
//     Header, then FileRecord of the alternative names file when there is
//     one, FileRecord per data file, UnitRecord per unit, FormRecord per
//     form by folded text, and the texts (UTF-16 at even offsets, file
//     names in bytes ended by a zero). Offsets count from the start of the
//     file. The header's checksum covers the rest of it and the file
//     records; each unit and form record has a check of its own, tested
//     when it is used.
constexpr char kMagic[8] = {'P', 'Q', 'U', 'N', 'I', 'T', 'S', '\n'};
constexpr uint32_t kVersion = 1;
constexpr size_t kMaxIndexSize = 64 * 1024 * 1024;

struct Header {
    char magic[8];
    uint32_t version;
    int32_t typeCode;
    uint64_t checksum;
    ChangeStamp program, folder;
    uint32_t hasAlternatives, fileCount, unitCount, formCount;
    uint32_t folderOffset, folderLength;
};
struct FileRecord {
    ChangeStamp stamp;
    uint32_t nameOffset, nameLength, textOffset, textLength;
};
struct UnitRecord {
    uint32_t file, position, identifierOffset, identifierLength, usual, check;
};
struct FormRecord {
    uint32_t unit, foldedOffset, foldedLength, textOffset, textLength, check;
};
static_assert(sizeof(Header) == 128 && sizeof(FileRecord) == 56 && sizeof(UnitRecord) == 24 &&
              sizeof(FormRecord) == 24);

ChangeStamp stampOfInfo(const struct stat& info) {
    auto ns = [](const timespec& t) { return static_cast<int64_t>(t.tv_sec) * 1000000000 + t.tv_nsec; };
    return {static_cast<uint64_t>(info.st_dev), static_cast<uint64_t>(info.st_ino),
            static_cast<int64_t>(info.st_size), ns(info.st_mtim), ns(info.st_ctim)};
}

// A hash of whole 8-byte words, then the rest: enough to tell a file cut
// short or filled with zeros by a crash from the one written.
uint64_t checksum(const char* data, size_t size) {
    constexpr uint64_t kMultiplier = 0x9E3779B97F4A7C15ULL;
    uint64_t hash = size;
    size_t i = 0;
    for (; i + 8 <= size; i += 8) {
        uint64_t word;
        std::memcpy(&word, data + i, 8);
        hash = (hash ^ word) * kMultiplier;
        hash ^= hash >> 29;
    }
    for (; i < size; ++i) hash = (hash ^ static_cast<unsigned char>(data[i])) * kMultiplier;
    return hash;
}

// The check of a unit or form record: its numbers and texts.
uint32_t recordCheck(std::initializer_list<uint32_t> numbers,
                     std::initializer_list<std::u16string_view> texts) {
    uint64_t hash = 0xcbf29ce484222325ULL;
    auto add = [&hash](uint64_t value) { hash = (hash ^ value) * 0x100000001b3ULL; };
    for (uint32_t n : numbers) add(n);
    for (std::u16string_view text : texts) {
        add(text.size());
        for (char16_t c : text) add(c);
    }
    return static_cast<uint32_t>(hash ^ (hash >> 32));
}

template <typename Record> bool recordAt(const char* bytes, size_t size, size_t offset, Record& record) {
    if (offset > size || size - offset < sizeof(Record)) return false;
    std::memcpy(&record, bytes + offset, sizeof(Record));
    return true;
}

// Texts kept once each, UTF-16 at even offsets.
class Pool {
  public:
    explicit Pool(size_t start) : start_(start) {}
    std::pair<uint32_t, uint32_t> add(std::u16string_view text) {
        auto [at, added] = texts_.try_emplace(std::u16string(text), 0);
        if (added) {
            at->second = offset();
            bytes_.append(reinterpret_cast<const char*>(text.data()), text.size() * 2);
        }
        return {at->second, static_cast<uint32_t>(text.size())};
    }
    // Bytes ended by a zero.
    std::pair<uint32_t, uint32_t> addBytes(std::string_view text) {
        const uint32_t at = offset();
        bytes_.append(text);
        bytes_ += '\0';
        if (bytes_.size() % 2) bytes_ += '\0';
        return {at, static_cast<uint32_t>(text.size())};
    }
    const std::string& bytes() const { return bytes_; }

  private:
    uint32_t offset() const { return static_cast<uint32_t>(start_ + bytes_.size()); }
    size_t start_;
    std::string bytes_;
    std::unordered_map<std::u16string, uint32_t> texts_;
};

template <typename Record> void append(std::string& out, const Record& record) {
    out.append(reinterpret_cast<const char*>(&record), sizeof(Record));
}

bool settled(const ChangeStamp& stamp, int64_t startNs, int64_t settleNs) {
    return stamp.changedNs < startNs - settleNs && stamp.modifiedNs < startNs - settleNs;
}

} // namespace

std::optional<ChangeStamp> changeStampOf(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return std::nullopt;
    return stampOfInfo(info);
}

int64_t FileClockNow() {
    timespec now {};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return static_cast<int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

UnitLookupIndex::UnitLookupIndex(UnitLookupIndex&& other) noexcept
    : bytes_(std::exchange(other.bytes_, nullptr)), size_(other.size_), filesAt_(other.filesAt_),
      fileCount_(other.fileCount_), unitsAt_(other.unitsAt_), unitCount_(other.unitCount_),
      formsAt_(other.formsAt_), formCount_(other.formCount_) {}

UnitLookupIndex::~UnitLookupIndex() {
    if (bytes_) ::munmap(const_cast<char*>(bytes_), size_);
}

std::u16string_view UnitLookupIndex::text(uint32_t offset, uint32_t length) const {
    if (offset % 2 || offset > size_ || (size_ - offset) / 2 < length) return {};
    return {reinterpret_cast<const char16_t*>(bytes_ + offset), length};
}

UnitLookupIndex::File UnitLookupIndex::file(size_t i) const {
    FileRecord record {};
    recordAt(bytes_, size_, filesAt_ + i * sizeof(FileRecord), record);
    return {std::string_view(bytes_ + record.nameOffset, record.nameLength),
            text(record.textOffset, record.textLength)};
}

std::optional<UnitLookupIndex::Unit> UnitLookupIndex::unit(uint32_t i) const {
    UnitRecord record {};
    if (i >= unitCount_ || !recordAt(bytes_, size_, unitsAt_ + i * sizeof(UnitRecord), record))
        return std::nullopt;
    const std::u16string_view identifier = text(record.identifierOffset, record.identifierLength);
    if (record.file >= fileCount_ || identifier.size() != record.identifierLength ||
        record.check != recordCheck({record.file, record.position, record.usual}, {identifier}))
        return std::nullopt;
    return Unit{record.file, record.position, identifier, record.usual != 0};
}

bool UnitLookupIndex::formAt(size_t i, Form& form) const {
    FormRecord record {};
    if (!recordAt(bytes_, size_, formsAt_ + i * sizeof(FormRecord), record)) return false;
    form = {record.unit, text(record.foldedOffset, record.foldedLength),
            text(record.textOffset, record.textLength)};
    return form.folded.size() == record.foldedLength && form.text.size() == record.textLength &&
           record.unit < unitCount_ &&
           record.check == recordCheck({record.unit}, {form.folded, form.text});
}

size_t UnitLookupIndex::firstForm(std::u16string_view folded) const {
    size_t low = 0, high = formCount_;
    Form form;
    while (low < high) {
        const size_t middle = low + (high - low) / 2;
        if (!formAt(middle, form)) return kDamaged;
        if (form.folded < folded)
            low = middle + 1;
        else
            high = middle;
    }
    return low;
}

std::optional<UnitLookupIndex> UnitLookupIndex::read(const std::string& path,
                                                     const std::string& folder, int32_t typeCode) {
    UnitLookupIndex index;
    {
        const FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
        struct stat info {};
        if (file.get() < 0 || ::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode) ||
            info.st_size < static_cast<off_t>(sizeof(Header)) ||
            static_cast<size_t>(info.st_size) > kMaxIndexSize)
            return std::nullopt;
        // The file is only ever replaced whole, never cut short in place.
        void* mapped = ::mmap(nullptr, static_cast<size_t>(info.st_size), PROT_READ, MAP_PRIVATE,
                              file.get(), 0);
        if (mapped == MAP_FAILED) return std::nullopt;
        index.bytes_ = static_cast<const char*>(mapped);
        index.size_ = static_cast<size_t>(info.st_size);
    }
    const char* bytes = index.bytes_;
    const size_t size = index.size_;
    Header header {};
    recordAt(bytes, size, 0, header);
    if (std::memcmp(header.magic, kMagic, sizeof kMagic) != 0 || header.version != kVersion ||
        header.typeCode != typeCode || header.folderLength != folder.size() ||
        header.folderOffset > size || size - header.folderOffset < folder.size() ||
        folder.compare(0, folder.size(), bytes + header.folderOffset, folder.size()) != 0)
        return std::nullopt;
    const size_t fileRecords = size_t{header.fileCount} + (header.hasAlternatives ? 1 : 0);
    index.filesAt_ = sizeof(Header) + (header.hasAlternatives ? sizeof(FileRecord) : 0);
    index.fileCount_ = header.fileCount;
    index.unitsAt_ = sizeof(Header) + fileRecords * sizeof(FileRecord);
    index.unitCount_ = header.unitCount;
    index.formsAt_ = index.unitsAt_ + size_t{header.unitCount} * sizeof(UnitRecord);
    index.formCount_ = header.formCount;
    constexpr size_t kChecked = offsetof(Header, program);
    if (fileRecords > size / sizeof(FileRecord) || index.formsAt_ > size ||
        (size - index.formsAt_) / sizeof(FormRecord) < header.formCount ||
        checksum(bytes + kChecked, index.unitsAt_ - kChecked) != header.checksum)
        return std::nullopt;

    // The program, then the folder and each file as they are now.
    struct stat now {};
    if (::stat("/proc/self/exe", &now) != 0 || stampOfInfo(now) != header.program) return std::nullopt;
    const FileDescriptor directory(::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (directory.get() < 0 || ::fstat(directory.get(), &now) != 0 ||
        stampOfInfo(now) != header.folder)
        return std::nullopt;
    for (size_t i = 0; i < fileRecords; ++i) {
        FileRecord record {};
        recordAt(bytes, size, sizeof(Header) + i * sizeof(FileRecord), record);
        // A name is a single entry of the folder, ended by its zero.
        if (record.nameLength == 0 || record.nameOffset > size ||
            size - record.nameOffset <= record.nameLength ||
            bytes[record.nameOffset + record.nameLength] != '\0' ||
            std::memchr(bytes + record.nameOffset, '/', record.nameLength) ||
            std::memchr(bytes + record.nameOffset, '\0', record.nameLength) ||
            index.text(record.textOffset, record.textLength).size() != record.textLength ||
            ::fstatat(directory.get(), bytes + record.nameOffset, &now, 0) != 0 ||
            stampOfInfo(now) != record.stamp)
            return std::nullopt;
    }
    return index;
}

bool WriteUnitLookupIndex(const std::string& path, const UnitLookupContents& contents,
                          int64_t startNs, int64_t settleNs) {
    const std::optional<ChangeStamp> program = changeStampOf("/proc/self/exe");
    if (!program || !settled(contents.folderStamp, startNs, settleNs) ||
        (contents.alternativeNames &&
         !settled(contents.alternativeNames->stamp, startNs, settleNs)) ||
        !std::all_of(contents.files.begin(), contents.files.end(), [&](const IndexedDataFile& f) {
            return settled(f.stamp, startNs, settleNs);
        }))
        return false;

    struct Form {
        std::u16string_view folded, text;
        uint32_t unit;
        auto operator<=>(const Form&) const = default;
    };
    std::vector<Form> forms;
    for (size_t u = 0; u < contents.units.size(); ++u)
        for (const IndexedForm& form : contents.units[u].forms)
            forms.push_back({form.folded, form.text, static_cast<uint32_t>(u)});
    std::sort(forms.begin(), forms.end());
    forms.erase(std::unique(forms.begin(), forms.end()), forms.end());

    const size_t fileRecords = contents.files.size() + (contents.alternativeNames ? 1 : 0);
    Pool pool(sizeof(Header) + fileRecords * sizeof(FileRecord) +
              contents.units.size() * sizeof(UnitRecord) + forms.size() * sizeof(FormRecord));
    std::string records;
    auto addFile = [&](const IndexedDataFile& file) {
        FileRecord record {file.stamp, 0, 0, 0, 0};
        std::tie(record.nameOffset, record.nameLength) = pool.addBytes(file.name);
        std::tie(record.textOffset, record.textLength) = pool.add(file.fileName);
        append(records, record);
    };
    if (contents.alternativeNames) addFile(*contents.alternativeNames);
    for (const IndexedDataFile& file : contents.files) addFile(file);
    for (const IndexedName& unit : contents.units) {
        UnitRecord record {unit.file, unit.position, 0, 0, unit.usual ? 1u : 0u, 0};
        std::tie(record.identifierOffset, record.identifierLength) = pool.add(unit.identifier);
        record.check = recordCheck({record.file, record.position, record.usual}, {unit.identifier});
        append(records, record);
    }
    for (const Form& form : forms) {
        FormRecord record {form.unit, 0, 0, 0, 0, 0};
        std::tie(record.foldedOffset, record.foldedLength) = pool.add(form.folded);
        std::tie(record.textOffset, record.textLength) = pool.add(form.text);
        record.check = recordCheck({form.unit}, {form.folded, form.text});
        append(records, record);
    }
    Header header {};
    std::memcpy(header.magic, kMagic, sizeof kMagic);
    header.version = kVersion;
    header.typeCode = contents.typeCode;
    header.program = *program;
    header.folder = contents.folderStamp;
    header.hasAlternatives = contents.alternativeNames ? 1 : 0;
    header.fileCount = static_cast<uint32_t>(contents.files.size());
    header.unitCount = static_cast<uint32_t>(contents.units.size());
    header.formCount = static_cast<uint32_t>(forms.size());
    std::tie(header.folderOffset, header.folderLength) = pool.addBytes(contents.folder);
    std::string bytes;
    append(bytes, header);
    bytes += records;
    bytes += pool.bytes();
    constexpr size_t kChecked = offsetof(Header, program);
    header.checksum = checksum(bytes.data() + kChecked,
                               sizeof(Header) + fileRecords * sizeof(FileRecord) - kChecked);
    std::memcpy(bytes.data() + offsetof(Header, checksum), &header.checksum,
                sizeof header.checksum);
    if (bytes.size() > kMaxIndexSize) return false;

    // Written beside its place and then put there, so that no reader sees
    // half of it.
    const size_t slash = path.rfind('/');
    if (slash != std::string::npos && slash > 0) {
        for (size_t at = path.find('/', 1); at != std::string::npos && at <= slash;
             at = path.find('/', at + 1))
            ::mkdir(path.substr(0, at).c_str(), 0700);
    }
    std::string temporary = path + ".XXXXXX";
    FileDescriptor file(::mkstemp(temporary.data()));
    if (file.get() < 0) return false;
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(file.get(), bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<size_t>(n);
    }
    const bool closed = file.closeChecked();
    if (done != bytes.size() || !closed || ::rename(temporary.c_str(), path.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

} // namespace pq
