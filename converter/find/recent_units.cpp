#include "converter/find/recent_units.h"

#include <QSettings>
#include <QStringList>

#include "converter/converter_settings.h"
#include "document/document.h"

namespace pq::conv {

namespace {

QString settingsKey() { return QStringLiteral("Find/RecentUnits"); }

QString text(std::u16string_view view) {
    return QString::fromUtf16(view.data(), static_cast<qsizetype>(view.size()));
}

// A unit is stored as one text, its fields separated by tabs.
QString encode(const UnitReference& unit) {
    QStringList fields{unit.fileName, unit.identifier, unit.name, unit.fileTitle};
    for (QString& field : fields) field.replace(QLatin1Char('\t'), QLatin1Char(' '));
    return fields.join(QLatin1Char('\t'));
}

} // namespace

UnitReference UnitReference::of(const Document& document, const Item& item) {
    UnitReference unit;
    unit.fileName = QString::fromStdU16String(document.fileNameWithExtension());
    unit.identifier = text(item.identifier.view());
    unit.name = text(item.name.view());
    unit.fileTitle = text(document.title.view());
    if (const auto position = document.indexOf(&item)) unit.position = static_cast<int>(*position);
    unit.shown = item.shown != 0;
    return unit;
}

// Identifiers as the files write them: "mW" and "MW" are two units.
bool UnitReference::sameUnit(const UnitReference& other) const {
    return fileName.compare(other.fileName, Qt::CaseInsensitive) == 0 &&
           identifier == other.identifier &&
           (!identifier.isEmpty() || name == other.name);
}

void RecentUnits::load() {
    units_.clear();
    const QStringList stored =
        QSettings(ConverterSettings::organisation(), ConverterSettings::application())
            .value(settingsKey())
            .toStringList();
    for (const QString& entry : stored) {
        const QStringList fields = entry.split(QLatin1Char('\t'));
        if (fields.size() != 4 || fields[0].isEmpty()) continue;
        UnitReference unit{fields[0], fields[1], fields[2], fields[3]};
        bool known = false;
        for (const UnitReference& other : units_) known = known || other.sameUnit(unit);
        if (!known && units_.size() < kMaxUnits) units_.append(unit);
    }
}

void RecentUnits::note(const UnitReference& unit) {
    if (unit.fileName.isEmpty()) return; // a new file that has no name yet
    for (qsizetype i = 0; i < units_.size(); ++i)
        if (units_[i].sameUnit(unit)) units_.removeAt(i--);
    units_.prepend(unit);
    while (units_.size() > kMaxUnits) units_.removeLast();
    // A position is only a hint for this run.
    units_.front().position = -1;
    save();
}

void RecentUnits::save() const {
    QStringList stored;
    for (const UnitReference& unit : units_) stored.append(encode(unit));
    QSettings(ConverterSettings::organisation(), ConverterSettings::application())
        .setValue(settingsKey(), stored);
}

} // namespace pq::conv
