#include "converter/find/unit_finder.h"

#include <QLineEdit>
#include <QWidget>

#include "converter/find/find_box.h"
#include "converter/find/index_runner.h"
#include "document/document.h"
#include "document/unit_index.h"

namespace pq::conv {

namespace {

// More matches than this are of no use to anyone choosing one.
constexpr size_t kMaxMatches = 50;

QString text(const std::u16string& text) { return QString::fromStdU16String(text); }

UnitReference referenceOf(const UnitMatch& match) {
    UnitReference unit;
    unit.fileName = text(match.file->fileName);
    unit.identifier = text(match.unit->identifier);
    unit.name = text(match.unit->name);
    unit.fileTitle = text(match.file->title);
    unit.position = match.unit->position;
    unit.shown = match.unit->shown;
    return unit;
}

} // namespace

UnitFinder::UnitFinder(QWidget* parent, ExpressionEngine& engine)
    : QObject(parent), parent_(parent), runner_(new IndexRunner(this)), answerer_(engine) {
    recent_.load();
    // Files read meanwhile show at once, with the chosen unit kept.
    runner_->setChangedHandler([this] {
        if (!isOpen()) return;
        const int row = box_->currentUnit();
        const UnitReference chosen = row >= 0 ? box_->units()[row] : UnitReference();
        search(box_->line()->text());
        if (row < 0) return;
        for (int i = 0; i < box_->units().size(); ++i)
            if (box_->units()[i].sameUnit(chosen)) box_->setCurrentUnit(i);
    });
}

FindBox* UnitFinder::box() {
    if (box_) return box_;
    box_ = new FindBox(parent_);
    box_->hide();
    box_->setGeometry(area_);
    box_->setTextHandler([this](const QString& text) {
        search(text);
        // A file changed meanwhile is read in the background.
        if (!folder_.empty()) runner_->refresh(folder_);
    });
    box_->setChosenHandler([this](const UnitReference& unit) {
        currentContents_.reset();
        if (onChosen_) onChosen_(unit);
    });
    box_->setClosedHandler([this] {
        currentContents_.reset();
        if (onClosed_) onClosed_();
    });
    box_->setAnswerHandler([this] {
        currentContents_.reset();
        if (answer_ && onAnswer_) onAnswer_(*answer_);
    });
    return box_;
}

UnitFinder::~UnitFinder() = default;

void UnitFinder::setFolder(const std::string& folder) {
    folder_ = folder;
    runner_->refresh(folder_);
}

void UnitFinder::open(const QString& text, const Document* current) {
    if (isOpen()) {
        // Keys that reached the list after the box opened belong in it.
        if (text.isEmpty())
            box_->line()->selectAll();
        else
            box_->line()->insert(text);
        takeFocus();
        return;
    }
    currentFile_ = current ? QString::fromStdU16String(current->fileNameWithExtension()) : QString();
    currentContents_ = current ? runner_->index()->entriesOf(*current) : nullptr;
    // Saved or added files are read in the background while the user types.
    if (!folder_.empty()) runner_->refresh(folder_);
    box()->show();
    box_->raise();
    const bool same = box_->line()->text() == text;
    box_->line()->setText(text);
    if (same) search(text);
    // A reason that leaves the text unselected: a key typed into the list
    // goes on after the text.
    box_->line()->setFocus(Qt::OtherFocusReason);
}

void UnitFinder::close() {
    if (isOpen()) box_->dismiss();
}

bool UnitFinder::isOpen() const { return box_ && box_->isVisible(); }

void UnitFinder::takeFocus() {
    if (isOpen()) box_->line()->setFocus(Qt::OtherFocusReason);
}

bool UnitFinder::owns(const QObject* object) const {
    if (!box_) return false;
    for (; object; object = object->parent())
        if (object == box_) return true;
    return false;
}

void UnitFinder::place(const QRect& area) {
    area_ = area;
    if (box_) box_->setGeometry(area);
}

void UnitFinder::noteUsed(const Document& document, const Item& item) {
    recent_.note(UnitReference::of(document, item));
}

QList<UnitReference> UnitFinder::recentUnitsNow() const {
    const std::shared_ptr<const UnitIndex> index = runner_->index();
    QList<UnitReference> units;
    for (const UnitReference& unit : recent_.units()) {
        if (!index->built()) {
            units.append(unit);
        } else if (const auto found = index->unit(unit.fileName.toStdU16String(),
                                                  unit.identifier.toStdU16String())) {
            // As the file has it now.
            units.append(referenceOf(*found));
        }
    }
    return units;
}

void UnitFinder::search(const QString& text) {
    answer_.reset();
    if (text.trimmed().isEmpty()) {
        const QList<UnitReference> recent = recentUnitsNow();
        box_->setUnits(recent, recent.isEmpty()
                                   ? QStringLiteral("Type a unit's name, symbol or identifier.")
                                   : QStringLiteral("Used last:"));
        return;
    }
    const std::shared_ptr<const UnitIndex> index = runner_->index();
    const std::u16string currentFile = currentFile_.toStdU16String();
    FindOptions options;
    options.currentFile = currentFile;
    options.currentContents = currentContents_;
    options.limit = kMaxMatches;
    QList<UnitReference> units;
    for (const UnitMatch& match : index->find(text.toStdU16String(), options))
        units.append(referenceOf(match));
    // A conversion: its answer first, or why there is none and what its
    // names may mean.
    const AnswerAttempt attempt = answerer_.answer(*index, text);
    std::optional<AnswerLine> line;
    if (attempt.answer) {
        answer_ = attempt.answer;
        line = AnswerLine{answer_->text, answer_->detail};
    } else if (attempt.isQuestion && units.isEmpty()) {
        units = attempt.candidates;
    }
    QString note;
    if (!index->built())
        note = QStringLiteral("Reading the data files...");
    else if (attempt.isQuestion && !attempt.answer && !attempt.problem.isEmpty())
        note = attempt.problem;
    else if (units.isEmpty() && !line)
        note = QStringLiteral("No unit matches \"%1\".").arg(text.trimmed());
    else if (units.size() >= static_cast<qsizetype>(kMaxMatches))
        note = QStringLiteral("The first %1 units:").arg(kMaxMatches);
    box_->setUnits(units, note, line);
}

} // namespace pq::conv
