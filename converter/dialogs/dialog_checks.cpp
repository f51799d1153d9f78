#include "converter/dialogs/dialog_checks.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>
#include <QUrl>

#include <algorithm>

#include "converter/dialogs/dialog_texts.h"
#include "document/catalogue.h"
#include "document/document.h"
#include "document/item.h"
#include "engine/builtins.h"
#include "engine/expression_engine.h"
#include "engine/parser.h"
#include "engine/text.h"

namespace pq::conv {

namespace {

constexpr int kFirstNameLength = 16;
constexpr int kEntryLength = 37;

bool takenInFolder(const QString& folder, const QString& fileName) {
    const QStringList entries =
        QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System);
    return std::any_of(entries.begin(), entries.end(), [&](const QString& entry) {
        return entry.compare(fileName, Qt::CaseInsensitive) == 0;
    });
}

} // namespace

std::u16string_view DisplayName(const Item& item) {
    return item.identifier.empty() ? item.name.view() : item.identifier.view();
}

QString ConversionEntryText(const Conversion& conversion) {
    QString text;
    if (conversion.unit1) text = ToQString(DisplayName(*conversion.unit1)).left(kFirstNameLength);
    text += QStringLiteral(" <=> ");
    if (conversion.unit2) text += ToQString(DisplayName(*conversion.unit2));
    return text.left(kEntryLength);
}

QString CheckNewConversion(const ConversionDocument& document, const Item* first,
                           const Item* second) {
    if (!first) return QStringLiteral("Choose the unit to convert from in the first list.");
    if (!second) return QStringLiteral("Choose the unit to convert to in the second list.");
    if (first == second)
        return QStringLiteral("A unit cannot be converted to itself: choose two different units.");
    if (document.findConversion(first, second))
        return QStringLiteral("These two units have a conversion already: change that one in "
                              "the list of conversions instead.");
    return {};
}

bool FormulaParses(std::u16string_view text) {
    const TokenChain chain = parse(lowerAscii(text));
    if (chain.empty()) return false;
    return std::none_of(chain.tokens.begin(), chain.tokens.end(),
                        [](const Token& t) { return t.kind == TokenKind::Error; });
}

QString CheckFormula(const QString& text, const QString& which, const ExpressionEngine* engine) {
    if (text.trimmed().isEmpty())
        return QStringLiteral("Type the %1 formula, in x: for example x*1000.").arg(which);
    if (!FormulaParses(ToText(text)))
        return QStringLiteral("The %1 formula \"%2\" is not a valid formula in x").arg(which, text);
    // Only x has a value when a conversion runs; every other name must be a
    // function. Whether the formula gives a value for every x (1/(x-1)
    // does not) shows only when it runs.
    for (const Token& token : parse(lowerAscii(ToText(text))).tokens) {
        if (token.kind != TokenKind::Identifier) continue;
        const bool known = (token.count == 0 && token.name == u"x") ||
                           resolveBuiltin(token.name, token.count) >= 0 ||
                           (engine && engine->isDefined(token.name, token.count));
        if (known) continue;
        const QString name = ToQString(token.name);
        if (token.count == 0)
            return QStringLiteral("The %1 formula \"%2\" uses \"%3\", which is neither x nor a "
                                  "function")
                .arg(which, text, name);
        return QStringLiteral("The %1 formula \"%2\" calls \"%3\" with %4, which no function "
                              "takes")
            .arg(which, text, name,
                 token.count == 1 ? QStringLiteral("1 argument")
                                  : QStringLiteral("%1 arguments").arg(token.count));
    }
    return {};
}

QString CheckIdentifier(const Document* document, const Item& item, const QString& identifier) {
    if (identifier.isEmpty()) return {};
    const std::u16string text = ToText(identifier);
    if (item.typeCode() == CalcItem::kTypeCode) {
        // A calculation item's identifier is a variable of the formulas.
        if (!isIdentifier(text))
            return QStringLiteral("The identifier \"%1\" is not a plain name: it must begin with "
                                  "a letter or \"_\" and hold only letters, digits and \"_\"")
                .arg(identifier);
    } else {
        // A unit's identifier names it in update files, whose fields tabs
        // and line ends separate: "km/h", "°C" and "µm" are fine.
        const QList<uint> characters = identifier.toUcs4();
        if (!std::all_of(characters.begin(), characters.end(),
                         [](uint c) { return QChar::isPrint(char32_t(c)); }) ||
            identifier.contains(QChar(0xFFFD)))
            return QStringLiteral("The identifier \"%1\" holds a tab, a line break or another "
                                  "character that cannot be shown")
                .arg(identifier);
        if (identifier.front().isSpace() || identifier.back().isSpace())
            return QStringLiteral("The identifier \"%1\" begins or ends with a space")
                .arg(identifier);
    }
    if (!document) return {};
    for (const auto& other : document->items) {
        if (other.get() == &item || !equalsIgnoreCase(other->identifier.view(), text)) continue;
        return QStringLiteral("The identifier \"%1\" is already used by \"%2\"")
            .arg(identifier, ToQString(other->name.view()));
    }
    return {};
}

bool IsUsableFileName(const QString& name) {
    if (name.isEmpty() || name.startsWith(u'.') || name.contains(QStringLiteral("..")))
        return false;
    return std::none_of(name.begin(), name.end(), [](QChar c) {
        return c == u'/' || c == u'\\' || c.category() == QChar::Other_Control;
    });
}

FileNameChoice ChooseFileName(const QString& typed, const QString& title,
                              std::u16string_view extension) {
    const QString ext = ToQString(extension);
    QString name = typed.trimmed();
    if (!ext.isEmpty() && name.endsWith(ext, Qt::CaseInsensitive) && name.size() > ext.size())
        name.chop(ext.size());
    if (!name.isEmpty()) {
        if (IsUsableFileName(name)) return {name, {}};
        return {{},
                QStringLiteral("\"%1\" cannot be a file name. Please leave out slashes, control "
                               "characters and \"..\", and do not begin it with a dot.")
                    .arg(typed.trimmed())};
    }
    // A name made from the title: what cannot be in a file name becomes "_".
    for (QChar c : title.trimmed())
        name += (c == u'/' || c == u'\\' || c.category() == QChar::Other_Control) ? QChar(u'_') : c;
    while (name.contains(QStringLiteral("..")))
        name.replace(QStringLiteral(".."), QStringLiteral("."));
    while (name.startsWith(u'.')) name.remove(0, 1);
    if (name.trimmed().isEmpty()) name = QStringLiteral("New File");
    return {name.trimmed(), {}};
}

bool IsFileNameTaken(const Catalogue& catalogue, const QString& name,
                     std::u16string_view extension) {
    const QString file = name + ToQString(extension);
    return catalogue.indexOf(ToText(file)) >= 0 ||
           takenInFolder(QString::fromStdString(catalogue.folder()), file);
}

QStringList CategoriesOf(const Catalogue& catalogue) {
    QStringList categories;
    for (size_t i = 0; i < catalogue.size(); ++i) {
        const QString category = ToQString(catalogue.at(i).category.view());
        if (!category.isEmpty() && !categories.contains(category, Qt::CaseInsensitive))
            categories.append(category);
    }
    std::stable_sort(categories.begin(), categories.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    return categories;
}

QString CheckDataFolder(const QString& folder) {
    if (folder.trimmed().isEmpty()) return QStringLiteral("Please enter the data file location");
    const QFileInfo info(folder);
    if (!info.exists() || !info.isDir())
        return QStringLiteral("The folder \"%1\" does not exist").arg(folder);
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".pqconverter-XXXXXX")));
    if (!probe.open())
        return QStringLiteral("PqConverter cannot write to the folder \"%1\"").arg(folder);
    return {};
}

QString CheckUpdateSource(const QString& address) {
    const QUrl url(address.trimmed(), QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || (scheme != QStringLiteral("http") && scheme != QStringLiteral("https")) ||
        url.host().isEmpty())
        return QStringLiteral("The download source must be an address that begins with http:// "
                              "or https://");
    return {};
}

} // namespace pq::conv
