#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace pq {
class Catalogue;
class ConversionDocument;
class Document;
class ExpressionEngine;
class Item;
class TextReferenceList;
} // namespace pq

namespace pq::conv {

// The converter's full-screen dialogs. Each covers the main window (parent),
// runs modally and returns when it closes.

// The file properties of a document: title, category and, for a file that
// does not exist yet, its name. True for OK (the fields were written).
bool ShowFilePropertiesDialog(QWidget* parent, Document& document, const Catalogue& catalogue);

// The name, identifier, value text and (calculation items) role of an item.
// True for OK (the fields were written); Cancel leaves the item untouched.
bool ShowUnitPropertiesDialog(QWidget* parent, Item& item);
// The same, refusing an identifier another item of the document uses (the
// item itself need not be in the document yet).
bool ShowUnitPropertiesDialog(QWidget* parent, Item& item, const Document* document);

// Lists, edits, adds and deletes the conversions of a document; returns when
// the user chose " Done ". `changed` runs after each change to the document,
// with its name ("Delete Conversion 'km <=> Mile'").
void ShowConversionsDialog(QWidget* parent, ConversionDocument& document, ExpressionEngine& engine,
                           std::function<void(const QString& change)> changed = {});

// Picks a file of the catalogue by category, or shows a text reference.
// Returns the chosen catalogue index, or -1 for Cancel.
int ShowOpenFileDialog(QWidget* parent, Catalogue& catalogue, TextReferenceList& references);

// Edits the data folder, the update source, whether the exchange rates
// are refreshed automatically (when refreshRates is given) and the digits
// shown (when digits is given). True for OK, and then they hold the new
// values; Cancel leaves them as they were.
bool ShowOptionsDialog(QWidget* parent, QString& dataFolder, QString& updateSource,
                       bool* refreshRates = nullptr, int* digits = nullptr);

// Chooses which items of the document the unit list shows. True for OK.
bool ShowShowHideDialog(QWidget* parent, Document& document);

} // namespace pq::conv
