#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace pq::conv {

// The document records keep UTF-16 texts; the controls take QStrings.
inline QString ToQString(std::u16string_view text) {
    return QString(reinterpret_cast<const QChar*>(text.data()),
                   static_cast<qsizetype>(text.size()));
}
inline std::u16string ToText(const QString& text) { return text.toStdU16String(); }

} // namespace pq::conv
