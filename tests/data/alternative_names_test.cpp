// The other names that ship beside the data files name units that exist.

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "document/alternative_names.h"
#include "document/document.h"
#include "document/file_reading.h"
#include "engine/text.h"

using namespace pq;

TEST(ShippedAlternativeNames, EveryLineNamesAUnitOfAShippedFile) {
    const std::string folder = PQ_DATA_DIR "/";
    std::string bytes, error;
    ASSERT_TRUE(readRegularFile(folder + AlternativeNames::kFileName, bytes, error)) << error;
    AlternativeNames names;
    names.parse(bytes);
    EXPECT_TRUE(names.skippedLines().empty());
    ASSERT_FALSE(names.empty());
    for (const auto& [file, units] : names.files()) {
        SCOPED_TRACE(toUtf8(file));
        std::unique_ptr<Document> document = createDocument(typeCodeForFileName(file));
        ASSERT_NE(document, nullptr);
        // The list keeps file names in lower case.
        bool read = false;
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            const std::string name = entry.path().filename().string();
            if (lowerAscii(widen(name)) == file) read = document->loadFrom(folder + name, true);
        }
        ASSERT_TRUE(read);
        std::set<std::u16string> identifiers;
        for (const auto& item : document->items)
            identifiers.insert(AlternativeNames::keyOf(item->identifier.view()));
        for (const auto& [identifier, alternatives] : units) {
            EXPECT_TRUE(identifiers.count(identifier)) << toUtf8(identifier);
            EXPECT_TRUE(!alternatives.names.empty() || alternatives.usual) << toUtf8(identifier);
        }
    }
}
