#include "converter/file_state.h"

#include "document/document.h"

namespace pq::conv {

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
        .arg(file, QString::fromStdString(damageText(document)));
}

QString ReadFailureText(const Document& document) {
    if (document.readState().kind != ReadState::Kind::Failed) return {};
    return QStringLiteral("%1 could not be read: %2.")
        .arg(FileNameOf(document), QString::fromStdString(document.readState().reason));
}

} // namespace pq::conv
