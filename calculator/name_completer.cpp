#include "calculator/name_completer.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QTextCursor>

#include <algorithm>

#include "calculator/expression_edit.h"
#include "engine/builtins.h"

namespace pq::calc {

namespace {

constexpr int kNameRole = Qt::UserRole;
constexpr int kArgumentsRole = Qt::UserRole + 1;

struct BuiltinNote {
    std::u16string_view name;
    const char* parameters; // null: "x" for each argument
    const char* note;
};

constexpr BuiltinNote kNotes[] = {
    {u"abs", nullptr, "absolute value"},
    {u"round", nullptr, "nearest whole number"},
    {u"sqrt", nullptr, "square root"},
    {u"e", nullptr, "Euler's number 2.71828..."},
    {u"ln", nullptr, "natural logarithm"},
    {u"lg", nullptr, "logarithm to base 10"},
    {u"pi", nullptr, "3.14159..."},
    {u"sin", nullptr, "sine in the angle unit"},
    {u"cos", nullptr, "cosine in the angle unit"},
    {u"tan", nullptr, "tangent in the angle unit"},
    {u"asin", nullptr, "inverse sine"},
    {u"acos", nullptr, "inverse cosine"},
    {u"atan", nullptr, "inverse tangent"},
    {u"sinh", nullptr, "hyperbolic sine"},
    {u"cosh", nullptr, "hyperbolic cosine"},
    {u"tanh", nullptr, "hyperbolic tangent"},
    {u"neg", nullptr, "the negated value"},
    {u"iif", "condition, value, ..., otherwise", "the value of the first true condition"},
    {u"rand", nullptr, "a random number from 0 to 1"},
    {u"fromutc", "zone, t", "UTC date and time t in a time zone"},
    {u"toutc", "zone, t", "a time zone's date and time t in UTC"},
    {u"time", nullptr, "the date and time now"},
    {u"inttime", "zone", "the date and time now in a time zone"},
    {u"err", nullptr, "an error"},
};

QString qstring(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

bool isNameCharacter(QChar c) { return c.isLetterOrNumber() || c == u'_'; }

} // namespace

std::vector<OfferedName> BuiltinNames() {
    std::vector<OfferedName> names;
    for (const BuiltinInfo& builtin : kBuiltins) {
        const auto note =
            std::find_if(std::begin(kNotes), std::end(kNotes),
                         [&](const BuiltinNote& n) { return n.name == builtin.name; });
        const QString name = qstring(builtin.name);
        QString shown = name;
        if (builtin.arguments != 0) {
            QString parameters = note != std::end(kNotes) && note->parameters
                                     ? QString::fromLatin1(note->parameters)
                                     : QStringList(builtin.arguments, QStringLiteral("x"))
                                           .join(QStringLiteral(", "));
            shown += u'(' + parameters + u')';
        }
        names.push_back({name, shown, builtin.arguments,
                         note != std::end(kNotes) ? QString::fromLatin1(note->note) : QString()});
    }
    return names;
}

NameCompleter::NameCompleter(ExpressionEdit* edit, std::function<std::vector<OfferedName>()> names)
    : QObject(edit), edit_(edit), names_(std::move(names)), model_(new QStandardItemModel(this)),
      completer_(new QCompleter(model_, this)) {
    completer_->setWidget(edit);
    completer_->setCompletionMode(QCompleter::PopupCompletion);
    completer_->setCaseSensitivity(Qt::CaseInsensitive);
    completer_->setCompletionRole(kNameRole);
    completer_->setMaxVisibleItems(8);
    completer_->popup()->setObjectName(QStringLiteral("nameList"));
    completer_->popup()->setAccessibleName(QStringLiteral("Names"));
    connect(completer_, qOverload<const QModelIndex&>(&QCompleter::activated), this,
            [this](const QModelIndex& index) { take(index); });
}

int NameCompleter::wordStart() const {
    const QTextCursor cursor = edit_->textCursor();
    if (cursor.hasSelection()) return -1;
    const QString text = edit_->text();
    const int end = cursor.position();
    int start = end;
    while (start > 0 && isNameCharacter(text.at(start - 1))) --start;
    // A name starts with a letter, and not inside a number ("2e5", "0ffh").
    if (start == end || !text.at(start).isLetter()) return -1;
    if (start > 0 && (text.at(start - 1).isDigit() || text.at(start - 1) == u'.')) return -1;
    return start;
}

QString NameCompleter::word() const {
    const int start = wordStart();
    if (start < 0) return QString();
    return edit_->text().mid(start, edit_->textCursor().position() - start);
}

void NameCompleter::offer() {
    const QString typed = word();
    if (typed.isEmpty()) return close();
    if (!completer_->popup()->isVisible()) {
        model_->clear();
        std::vector<OfferedName> names = names_();
        std::sort(names.begin(), names.end(), [](const OfferedName& a, const OfferedName& b) {
            return a.name.compare(b.name, Qt::CaseInsensitive) < 0;
        });
        for (const OfferedName& name : names) {
            auto* item = new QStandardItem(name.shown);
            item->setData(name.name, kNameRole);
            item->setData(name.arguments, kArgumentsRole);
            if (!name.note.isEmpty())
                item->setToolTip(name.shown + QStringLiteral(": ") + name.note);
            item->setEditable(false);
            model_->appendRow(item);
        }
    }
    completer_->setCompletionPrefix(typed);
    if (completer_->completionCount() == 0) return close();
    QAbstractItemView* popup = completer_->popup();
    popup->setFont(edit_->font());
    popup->setCurrentIndex(completer_->completionModel()->index(0, 0));
    QRect rect = edit_->cursorRect();
    rect.setWidth(popup->sizeHintForColumn(0) + popup->verticalScrollBar()->sizeHint().width() +
                  2 * popup->frameWidth());
    completer_->complete(rect);
}

void NameCompleter::close() { completer_->popup()->hide(); }

bool NameCompleter::isOffering() const { return completer_->popup()->isVisible(); }

bool NameCompleter::takesEnter() const {
    const QModelIndex current = completer_->popup()->currentIndex();
    if (!current.isValid()) return false;
    const bool whole = current.data(kNameRole).toString().compare(word(), Qt::CaseInsensitive) == 0;
    return !(whole && current.data(kArgumentsRole).toInt() == 0);
}

QStringList NameCompleter::offered() const {
    QStringList names;
    if (!isOffering()) return names;
    const QAbstractItemModel* shown = completer_->completionModel();
    for (int row = 0; row < shown->rowCount(); ++row)
        names << shown->index(row, 0).data(Qt::DisplayRole).toString();
    return names;
}

void NameCompleter::take(const QModelIndex& index) {
    const int start = wordStart();
    if (start < 0 || !index.isValid()) return;
    const QString name = index.data(kNameRole).toString();
    const bool call = index.data(kArgumentsRole).toInt() != 0;
    QTextCursor cursor = edit_->textCursor();
    cursor.setPosition(start, QTextCursor::KeepAnchor);
    cursor.insertText(call ? name + QStringLiteral("()") : name);
    if (call) cursor.movePosition(QTextCursor::Left);
    edit_->setTextCursor(cursor);
    close();
}

} // namespace pq::calc
