#pragma once

#include <memory>
#include <span>
#include <string>
#include <vector>

#include "document/data_folder.h"
#include "document/document.h"

namespace pq {

class ExpressionEngine;

// The data folder's conversion and calculation files, most recently used
// first. Only the first document, the current one, stays loaded (documents
// in the legacy format, which are read whole, stay loaded from the moment
// they were read); the others carry their header alone. Reading a document
// never writes its file. Switching documents unloads
// the current one, loads the new one and applies a pending update to it.
// The catalogue never writes a file: whoever changes a document saves it
// (Document::saveChanges) before letting it go.
class Catalogue : public DataFolder {
  public:
    explicit Catalogue(ExpressionEngine& engine) : engine_(engine) {}
    ~Catalogue() override;
    Catalogue(const Catalogue&) = delete;
    Catalogue& operator=(const Catalogue&) = delete;

    // The folder always ends in "/".
    void setFolder(const std::string& path);
    const std::string& folder() const override { return folder_; }

    // Adds a data file by its name with extension (no folder); returns its
    // index, the existing one when the name is known already (any case), or
    // -1 when it is no data file or its header cannot be read.
    int addFile(std::u16string_view fileName);
    // Adds names in order, up to the first empty one.
    void addFiles(std::span<const std::u16string> fileNames);
    // Adds every data file of the folder; known files keep their place.
    void scanFolder();
    int indexOf(std::u16string_view fileName) const;
    Document* find(std::u16string_view fileName, bool makeCurrent);
    // Makes documents[index] current (unloading the one before) and returns
    // it; none for an empty catalogue or an index outside it.
    Document* current(size_t index = 0);
    void removeDocuments(size_t first, size_t count);
    // Appends a new document (a file that does not exist yet).
    size_t append(std::unique_ptr<Document> document);
    // Applies a pending update file to the current conversion document when
    // it is editable; the document is then modified.
    bool applyUpdate();

    size_t size() const { return documents_.size(); }
    Document& at(size_t index) const { return *documents_[index]; }

  private:
    ExpressionEngine& engine_;
    std::vector<std::unique_ptr<Document>> documents_;
    std::string folder_ = "/";
};

// The ".htm" text references of the data folder.
class TextReferenceList {
  public:
    void scan(const std::string& folder);
    size_t size() const { return names_.size(); }
    const std::u16string& name(size_t i) const { return names_[i]; }
    std::string path(size_t i) const;
    // The file's text: UTF-8 where the bytes are valid UTF-8, Windows-1252
    // otherwise. False for an empty or unreadable file.
    bool readText(size_t i, std::u16string& text) const;

  private:
    std::vector<std::u16string> names_;
    std::string folder_;
};

// Bytes as text: UTF-8 when they are valid UTF-8, else Windows-1252.
std::u16string decodeText(std::string_view bytes);

} // namespace pq
