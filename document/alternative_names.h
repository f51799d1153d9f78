#pragma once

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
//
// the data file, the unit's identifier and its other names separated by
// commas. File names and identifiers are compared without regard to case. A
// line without the two bars, or with an empty file name or identifier, is
// passed over.
class AlternativeNames {
  public:
    static constexpr const char* kFileName = "AlternativeNames.txt";

    // The text of the file: UTF-8, or Windows-1252 when it is no UTF-8.
    void parse(std::string_view bytes);

    // The names of a unit of a data file; none when the file lists none.
    const std::vector<std::u16string>& namesOf(std::u16string_view fileName,
                                                std::u16string_view identifier) const;
    bool empty() const { return names_.empty(); }
    // The lines that were passed over, counted from 1.
    const std::vector<int>& skippedLines() const { return skipped_; }

  private:
    std::map<std::u16string, std::vector<std::u16string>> names_;
    std::vector<int> skipped_;
};

} // namespace pq
