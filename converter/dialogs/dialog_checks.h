#pragma once

#include <QString>
#include <QStringList>

#include <string>
#include <string_view>

namespace pq {
class Catalogue;
class Conversion;
class ConversionDocument;
class Document;
class ExpressionEngine;
class Item;
} // namespace pq

namespace pq::conv {

// The checks and texts of the editing dialogs, apart from their windows.
// A check gives an empty text when the input is fine, else the message.

// A unit as the conversion dialogs name it: its identifier, or its name when
// it has none.
std::u16string_view DisplayName(const Item& item);
// "first <=> second": the first name cut to 16 characters, the whole to 37.
QString ConversionEntryText(const Conversion& conversion);

// Whether two units may be joined by a new conversion.
QString CheckNewConversion(const ConversionDocument& document, const Item* first,
                           const Item* second);
// Whether a formula text parses completely (an empty text does not).
bool FormulaParses(std::u16string_view text);
// A new or changed formula of the Add dialog; which is "forward" or
// "reverse". It must read, and every name in it must be x or a function:
// built-in, or defined in the engine when one is given.
QString CheckFormula(const QString& text, const QString& which,
                     const ExpressionEngine* engine = nullptr);

// An identifier that was typed for an item: empty, or one that no other item
// of the document uses in any case: for a unit any printable characters but
// a leading or trailing space ("km/h", "°C"); for a calculation item, whose
// identifier formulas use, a plain name (a letter or "_", then letters,
// digits and "_"). document may be none.
QString CheckIdentifier(const Document* document, const Item& item, const QString& identifier);

// The name a new file gets: the typed name (without a trailing extension of
// its type), or one made from the title when nothing was typed. A typed name
// that cannot be a file name gives an empty name and the message.
struct FileNameChoice {
    QString name;
    QString message;
};
FileNameChoice ChooseFileName(const QString& typed, const QString& title,
                              std::u16string_view extension);
// Whether a base name can name a file of the data folder: no slashes, no
// "..", no control characters, not empty, not beginning with a dot.
bool IsUsableFileName(const QString& name);
// Whether the catalogue or the data folder holds name + extension (any case).
bool IsFileNameTaken(const Catalogue& catalogue, const QString& name,
                     std::u16string_view extension);
// The distinct non-empty categories of the catalogue's documents (the first
// spelling of texts that differ only in case), sorted without regard to case.
QStringList CategoriesOf(const Catalogue& catalogue);

// The settings' data folder must exist and take new files; the update source
// must be an http or https address.
QString CheckDataFolder(const QString& folder);
QString CheckUpdateSource(const QString& address);

// The longest text the settings, unit and file fields keep.
constexpr int kSettingsTextLength = 127;
constexpr int kItemTextLength = 127;
constexpr int kFileTextLength = 128;
constexpr int kFileNameLength = 63;

} // namespace pq::conv
