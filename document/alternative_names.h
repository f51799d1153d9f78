#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace pq {

// Other names people know units by ("kph" for km/h, "lbs" for the pound),
// kept beside the data files in a text file that users may edit, so that
// the data files themselves stay as they are. One unit a line:
//
//     # comment
//     Speed.cnv | km_h | kph, kmph, kilometers per hour
//     Volume.cnv | galUS | US gallon | usual
//
// the data file, the unit's identifier and its other names separated by
// commas; a fourth field "usual" makes the unit the usual meaning of every
// name it shares with units of other lines and files ("gallon" and "gal"
// mean the US gallon, the imperial one following it in the find list).
// File names are compared without regard to case, identifiers too where
// case tells no units apart (see namesOf). A line
// without the two bars, with an empty file name or identifier, or with a
// fourth field other than "usual" is passed over. A unit may have several
// lines; their names add up.
class AlternativeNames {
  public:
    static constexpr const char* kFileName = "AlternativeNames.txt";

    // The text of the file: UTF-8, or Windows-1252 when it is no UTF-8.
    // With `wanted`, only the names it accepts are kept, and a unit without
    // one is left out unless it is a usual meaning: for looking a few names
    // up.
    void parse(std::string_view bytes,
               const std::function<bool(std::u16string_view)>& wanted = nullptr);

    struct UnitNames {
        std::vector<std::u16string> names;
        bool usual = false;
    };
    // The names of the units of one file, by keyOf their identifier.
    using FileNames = std::map<std::u16string, UnitNames, std::less<>>;
    // None when the list names no unit of the file.
    const FileNames* namesIn(std::u16string_view fileName) const;
    // The names of a unit of a file; none when the list holds none. A line
    // may write the identifier in another letter case, except where case
    // tells units apart ("mW" and "MW").
    static const UnitNames& namesOf(const FileNames* names, std::u16string_view identifier);
    const UnitNames& namesOf(std::u16string_view fileName,
                             std::u16string_view identifier) const {
        return namesOf(namesIn(fileName), identifier);
    }
    bool empty() const { return files_.empty(); }
    // Every file's names, by file name in lower case.
    const std::map<std::u16string, FileNames, std::less<>>& files() const { return files_; }
    // The lines that were passed over, counted from 1.
    const std::vector<int>& skippedLines() const { return skipped_; }

    // An identifier as the names are kept by: in lower case, unless it
    // reads as unit symbols, whose letter case tells units apart.
    static std::u16string keyOf(std::u16string_view identifier);

  private:
    std::map<std::u16string, FileNames, std::less<>> files_; // by file name in lower case
    std::vector<int> skipped_;
};

} // namespace pq
