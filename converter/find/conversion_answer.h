#pragma once

#include <QList>
#include <QString>

#include <memory>
#include <optional>
#include <string>

#include "converter/find/recent_units.h"
#include "document/file_reading.h"

namespace pq {
class ConversionDocument;
class ExpressionEngine;
class UnitIndex;
} // namespace pq

namespace pq::conv {

// A conversion asked in the find box ("60 mph to km/h"), answered.
struct ConversionAnswer {
    QString text;   // "60 mph = 96.56064 km/h"
    QString detail; // the file's title
    UnitReference first;
    std::optional<UnitReference> target;
    double firstValue = 0; // the value of the question in the first unit
};

// What a line typed into the find box gives as a conversion: the answer;
// or, for a question that cannot be answered, why, with the units its
// names could mean; or nothing, when the line is no question.
struct AnswerAttempt {
    bool isQuestion = false;
    std::optional<ConversionAnswer> answer;
    QString problem;
    QList<UnitReference> candidates;
};

// Answers questions with the units of an index (the same rules as pqtool
// convert: whole names only, the unit of a name that shares a file with
// the others), computed in the file read from the folder. The file read
// last is kept while it does not change, so that typing does not read it
// again and again.
class ConversionAnswerer {
  public:
    explicit ConversionAnswerer(ExpressionEngine& engine);
    ~ConversionAnswerer();

    AnswerAttempt answer(const UnitIndex& index, const QString& line);

  private:
    ConversionDocument* documentOf(const std::string& path, const FileStamp& stamp);

    ExpressionEngine& engine_;
    std::string path_;
    FileStamp stamp_;
    std::unique_ptr<ConversionDocument> document_;
};

} // namespace pq::conv
