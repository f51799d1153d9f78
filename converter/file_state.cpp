#include "converter/file_state.h"

#include <QStringList>

#include "document/document.h"

namespace pq::conv {

namespace {

QString counted(int count, const char* one, const char* many) {
    return QStringLiteral("%1 %2").arg(count).arg(QString::fromLatin1(count == 1 ? one : many));
}

// "2 units and 9 conversions could not be read", and the like.
QString droppedText(const Document& document) {
    const ReadState& state = document.readState();
    if (state.strayBytes) return QStringLiteral("it holds bytes that belong to no record");
    QStringList parts;
    if (state.droppedUnits > 0) parts << counted(state.droppedUnits, "unit", "units");
    if (state.droppedConversions > 0)
        parts << counted(state.droppedConversions, "conversion", "conversions");
    QString text = parts.join(QStringLiteral(" and "));
    if (state.droppedConversions < 0) {
        const size_t kept =
            document.typeCode() == ConversionDocument::kTypeCode
                ? static_cast<const ConversionDocument&>(document).conversions.size()
                : 0;
        const QString list = QStringLiteral("its list of conversions could not be read whole "
                                            "(%1 could be read)")
                                 .arg(counted(static_cast<int>(kept), "conversion", "conversions"));
        return text.isEmpty() ? list : text + QStringLiteral(" could not be read, and ") + list;
    }
    return text + QStringLiteral(" could not be read");
}

} // namespace

QString FileNameOf(const Document& document) {
    return QString::fromStdU16String(document.fileNameWithExtension());
}

QString WindowTitle(const Document* document) {
    const QString program = QStringLiteral("PqConverter");
    if (!document) return program;
    QString title = QString::fromStdU16String(std::u16string(document->title.view()));
    if (title.isEmpty()) title = FileNameOf(*document);
    switch (document->readState().kind) {
    case ReadState::Kind::Whole: break;
    case ReadState::Kind::Failed: title += QStringLiteral(" (not readable)"); break;
    case ReadState::Kind::Damaged:
    case ReadState::Kind::ReadOnly: title += QStringLiteral(" (read-only)"); break;
    }
    return title + QStringLiteral(" - ") + program;
}

QString EditingProblem(const Document& document) {
    const ReadState& state = document.readState();
    const QString cannot = FileNameOf(document) + QStringLiteral(" cannot be changed: ");
    switch (state.kind) {
    case ReadState::Kind::Whole: return {};
    case ReadState::Kind::ReadOnly: return cannot + QString::fromStdString(state.reason);
    case ReadState::Kind::Damaged:
        return cannot + QStringLiteral("it is damaged (File > Repair... keeps what could be read)");
    case ReadState::Kind::Failed:
        return cannot + QStringLiteral("it could not be read (%1)")
                            .arg(QString::fromStdString(state.reason));
    }
    return {};
}

QString DamageReport(const Document& document) {
    if (document.readState().kind != ReadState::Kind::Damaged) return {};
    const QString file = FileNameOf(document);
    return QStringLiteral("%1 is damaged: %2.\n\nIt is opened read-only and left as it is on "
                          "disk. File > Repair... keeps what could be read, after it copied the "
                          "file to %1.damaged.")
        .arg(file, droppedText(document));
}

QString ReadFailureText(const Document& document) {
    if (document.readState().kind != ReadState::Kind::Failed) return {};
    return QStringLiteral("%1 could not be read: %2.")
        .arg(FileNameOf(document), QString::fromStdString(document.readState().reason));
}

} // namespace pq::conv
