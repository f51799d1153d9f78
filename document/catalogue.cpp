#include "document/catalogue.h"

#include <algorithm>
#include <filesystem>

#include "document/data_file.h"
#include "document/file_reading.h"
#include "engine/text.h"

namespace pq {

namespace {

std::string withSlash(const std::string& path) {
    return path.empty() || path.back() != '/' ? path + '/' : path;
}

// The non-folder entries of a folder whose names are longer than four
// characters, in the order the file system gives them.
std::vector<std::u16string> candidateNames(const std::string& folder) {
    std::vector<std::u16string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        std::error_code typeError;
        if (entry.is_directory(typeError)) continue;
        std::u16string name = fromUtf8(entry.path().filename().string());
        if (name.size() > 4) names.push_back(std::move(name));
    }
    return names;
}

} // namespace

Catalogue::~Catalogue() { removeDocuments(0, documents_.size()); }

void Catalogue::setFolder(const std::string& path) { folder_ = withSlash(path); }

int Catalogue::indexOf(std::u16string_view fileName) const {
    for (size_t i = 0; i < documents_.size(); ++i)
        if (equalsIgnoreCase(documents_[i]->fileNameWithExtension(), fileName))
            return static_cast<int>(i);
    return -1;
}

int Catalogue::addFile(std::u16string_view fileName) {
    if (int existing = indexOf(fileName); existing >= 0) return existing;
    std::unique_ptr<Document> document = createDocument(typeCodeForFileName(fileName));
    if (!document || !document->load(*this, false, fileName.substr(0, fileName.size() - 4)))
        return -1;
    documents_.push_back(std::move(document));
    return static_cast<int>(documents_.size() - 1);
}

void Catalogue::addFiles(std::span<const std::u16string> fileNames) {
    for (const std::u16string& name : fileNames) {
        if (name.empty()) break;
        addFile(name);
    }
}

void Catalogue::scanFolder() {
    for (const std::u16string& name : candidateNames(folder_)) addFile(name);
}

Document* Catalogue::find(std::u16string_view fileName, bool makeCurrent) {
    const int i = indexOf(fileName);
    if (i < 0) return nullptr;
    return makeCurrent ? current(static_cast<size_t>(i)) : documents_[static_cast<size_t>(i)].get();
}

Document* Catalogue::current(size_t index) {
    if (documents_.empty() || index >= documents_.size()) return nullptr;
    if (index >= 1) {
        documents_[0]->unload(); // never writes: the caller saved what changed
        std::rotate(documents_.begin(), documents_.begin() + static_cast<std::ptrdiff_t>(index),
                    documents_.begin() + static_cast<std::ptrdiff_t>(index) + 1);
        documents_[0]->ensureLoaded(*this);
        applyUpdate();
    } else {
        documents_[0]->ensureLoaded(*this);
    }
    return documents_[0].get();
}

void Catalogue::removeDocuments(size_t first, size_t count) {
    if (first >= documents_.size()) return;
    count = std::min(count, documents_.size() - first);
    if (first == 0) documents_[0]->unload();
    documents_.erase(documents_.begin() + static_cast<std::ptrdiff_t>(first),
                     documents_.begin() + static_cast<std::ptrdiff_t>(first + count));
    if (first == 0 && !documents_.empty()) documents_[0]->ensureLoaded(*this);
}

size_t Catalogue::append(std::unique_ptr<Document> document) {
    documents_.push_back(std::move(document));
    return documents_.size() - 1;
}

bool Catalogue::applyUpdate() {
    Document* document = current(0);
    if (!document || document->typeCode() != ConversionDocument::kTypeCode) return false;
    // A file that may not be written keeps its update waiting beside it.
    if (!document->editable()) return false;
    return static_cast<ConversionDocument*>(document)->applyPendingUpdate(*this, engine_);
}

void TextReferenceList::scan(const std::string& folder) {
    folder_ = withSlash(folder);
    names_.clear();
    for (std::u16string& name : candidateNames(folder_))
        if (endsWithIgnoreCase(name, u".htm")) names_.push_back(name.substr(0, name.size() - 4));
}

std::string TextReferenceList::path(size_t i) const { return folder_ + toUtf8(names_[i]) + ".htm"; }

bool TextReferenceList::readText(size_t i, std::u16string& text) const {
    if (i >= names_.size()) return false;
    std::string bytes;
    std::string error;
    if (!readRegularFile(resolveFileCase(path(i)), bytes, error) || bytes.empty()) return false;
    text = decodeText(bytes);
    return true;
}

std::u16string decodeText(std::string_view bytes) {
    std::u16string utf8 = fromUtf8(bytes);
    bool valid = true;
    // fromUtf8 marks invalid sequences with U+FFFD; a valid text may hold
    // that character itself only as its three-byte form.
    if (utf8.find(u'\uFFFD') != std::u16string::npos) {
        size_t replacements = std::count(utf8.begin(), utf8.end(), u'\uFFFD');
        size_t encoded = 0;
        for (size_t p = 0; (p = bytes.find("\xEF\xBF\xBD", p)) != std::string_view::npos; p += 3)
            ++encoded;
        valid = replacements == encoded;
    }
    if (valid) return utf8;
    // Windows-1252: Latin-1 with typographic characters in 0x80..0x9F.
    static constexpr char16_t k80[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    std::u16string text(bytes.size(), u'\0');
    for (size_t i = 0; i < bytes.size(); ++i) {
        const unsigned char b = static_cast<unsigned char>(bytes[i]);
        text[i] = b >= 0x80 && b < 0xA0 ? k80[b - 0x80] : b;
    }
    return text;
}

} // namespace pq
