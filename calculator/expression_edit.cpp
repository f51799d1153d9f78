#include "calculator/expression_edit.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>

#include "calculator/number_text.h"
#include "engine/text.h"
#include "engine/tokenizer.h"
#include "uikit/clipboard.h"
#include "uikit/command_event.h"
#include "uikit/tap_and_hold.h"

namespace pq::calc {

namespace {

constexpr int kHistoryMenuFirst = 2000;
constexpr int kHistoryShown = 12; // characters of an entry shown in the menu

bool isOperatorCharacter(char16_t c) {
    int index = 0;
    const char16_t text[1] = {c};
    return lookupOperator(std::u16string_view(text, 1), index);
}

} // namespace

ExpressionEdit::ExpressionEdit(QWidget* parent, QObject* commandReceiver, unsigned evaluateCommand)
    : QPlainTextEdit(parent), receiver_(commandReceiver), evaluateCommand_(evaluateCommand) {
    setTabChangesFocus(true);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    // Formulas have few spaces; breaking anywhere also keeps very long ones
    // quick to lay out.
    setWordWrapMode(QTextOption::WrapAnywhere);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setUndoRedoEnabled(true);
    // Any move of the caret or the selection, and any edit, ends the state
    // right after an evaluation.
    const auto endEvaluated = [this] {
        if (!marking_) evaluated_ = false;
    };
    connect(this, &QPlainTextEdit::cursorPositionChanged, this, endEvaluated);
    connect(this, &QPlainTextEdit::selectionChanged, this, endEvaluated);
    connect(this, &QPlainTextEdit::textChanged, this, endEvaluated);
    // A pen held still on the line opens its menu, as a right click does.
    new ui::TapAndHold(viewport(), [this](QPoint point) {
        QMenu* menu = createMenu();
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(viewport()->mapToGlobal(point));
    });
}

int ExpressionEdit::selectionStart() const { return textCursor().selectionStart(); }
int ExpressionEdit::selectionEnd() const { return textCursor().selectionEnd(); }

QString ExpressionEdit::selectedText() const {
    // The cursor writes line breaks as U+2029; the edit's text has "\n".
    return textCursor().selectedText().replace(QChar::ParagraphSeparator, u'\n');
}

void ExpressionEdit::select(int start, int end) {
    const int length = static_cast<int>(text().size());
    start = std::clamp(start, 0, length);
    end = std::clamp(end, 0, length);
    QTextCursor cursor = textCursor();
    cursor.setPosition(start);
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    setTextCursor(cursor);
    ensureCursorVisible();
}

void ExpressionEdit::setCaret(int position) { select(position, position); }

void ExpressionEdit::markEvaluated() {
    marking_ = true;
    select(0, 65535);
    marking_ = false;
    evaluated_ = true;
    recalled_ = -1;
}

void ExpressionEdit::replaceAll(const QString& text) {
    QTextCursor cursor = textCursor();
    cursor.select(QTextCursor::Document);
    cursor.insertText(text);
    setTextCursor(cursor);
    ensureCursorVisible();
}

void ExpressionEdit::replaceRange(int start, int end, const QString& text) {
    QTextCursor cursor = textCursor();
    cursor.setPosition(start);
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    cursor.insertText(text);
    setTextCursor(cursor);
    ensureCursorVisible();
}

void ExpressionEdit::replaceSelection(const QString& text) {
    const int s = selectionStart();
    replaceRange(s, selectionEnd(), text);
    select(s, s + static_cast<int>(text.size()));
}

void ExpressionEdit::insertOperator(const QString& t) {
    const int s = selectionStart();
    const int e = selectionEnd();
    const bool appliesToOperand = t.startsWith(u'~') || t.startsWith(u'!') || t.startsWith(u'%') ||
                                  t.size() > 1 || t == u"\u00B2" || t == u"\u00B3";
    if (e > s && appliesToOperand) {
        const QString x = selectedText();
        const bool prefix = t.startsWith(u'~') || t == u"1/" || t == u"e^" || t == u"10^";
        replaceSelection(prefix ? t + x : x + t);
        return;
    }
    replaceRange(e, e, t);
    if (t == u"-" && e == s)
        select(e, e + 1); // a "-" typed alone starts a signed operand
    else
        setCaret(e + static_cast<int>(t.size()));
}

void ExpressionEdit::insertCall(const QString& name, int n) {
    if (n < 1) {
        replaceSelection(name);
        return;
    }
    const int s = selectionStart();
    const QString x = selectedText();
    const QString call = name + u'(' + x + QString(n - 1, u',') + u')';
    replaceRange(s, selectionEnd(), call);
    const int open = s + static_cast<int>(name.size()) + 1;
    if (x.isEmpty())
        setCaret(open);
    else if (n == 1)
        select(s, s + static_cast<int>(call.size()));
    else
        setCaret(open + static_cast<int>(x.size()) + 1);
}

void ExpressionEdit::extendOperand(const QString& t) { replaceSelection(selectedText() + t); }

void ExpressionEdit::typeCharacter(char16_t ch) {
    const int s = selectionStart();
    const int e = selectionEnd();
    const QString all = text();
    const char16_t last = e > s ? asciiLower(all.at(e - 1).unicode()) : 0;

    if (ch == kMoveRight) return setCaret(std::min(e + 1, static_cast<int>(all.size())));
    if (ch == kMoveLeft) return setCaret(std::max(e - 1, 0));
    if (isIdentifierChar(ch) || ch == u'.' || (ch == u'-' && last == u'e'))
        return extendOperand(QString(QChar(ch)));
    if (isOperatorCharacter(ch)) return insertOperator(QString(QChar(ch)));
    switch (ch) {
    case kBackspace:
        if (e < 1) return;
        replaceRange(e - 1, e, QString());
        if (e - 1 > s) select(s, e - 1);
        return;
    case kDelete:
        if (e == s) {
            if (e < all.size()) replaceRange(e, e + 1, QString());
        } else {
            replaceRange(s, e, QString());
        }
        return;
    case u')': {
        int count = 1;
        for (int p = e - 1; p >= 0; --p) {
            const QChar c = all.at(p);
            if (c == u'(') --count;
            if (c == u')') ++count;
            if (count == 0) {
                replaceRange(e, e, QStringLiteral(")"));
                select(p, e + 1);
                return;
            }
        }
        replaceRange(e, e, QStringLiteral(")"));
        return;
    }
    case u'\r':
    case u'\n': replaceRange(e, e, QStringLiteral("\n")); return;
    default: replaceRange(e, e, QString(QChar(ch))); return;
    }
}

void ExpressionEdit::clearEntry() {
    if (selectionEnd() > selectionStart())
        replaceRange(selectionStart(), selectionEnd(), QString());
    else
        clear();
}

void ExpressionEdit::addToHistory(const QString& t) {
    if (t.isEmpty()) return;
    while (history_.size() < kHistorySize) history_.append(QString());
    int found = kHistorySize - 1;
    for (int i = 0; i < kHistorySize - 1; ++i) {
        if (history_[i].isEmpty() || history_[i] == t) {
            found = i;
            break;
        }
    }
    history_.removeAt(found);
    history_.prepend(t);
}

QMenu* ExpressionEdit::createMenu() {
    auto* menu = new QMenu(this);
    const bool selected = selectionEnd() > selectionStart();
    QAction* cut = menu->addAction(QStringLiteral("Cu&t"), this, &QPlainTextEdit::cut);
    cut->setEnabled(selected);
    QAction* copy = menu->addAction(QStringLiteral("&Copy"), this, &QPlainTextEdit::copy);
    copy->setEnabled(selected);
    QAction* paste = menu->addAction(QStringLiteral("&Paste"), this, [this] {
        const QString text = ui::ClipboardText();
        if (text.isNull()) return;
        // A number as a display writes it goes in plain: "," separates
        // arguments in formulas.
        std::u16string number;
        double value = 0;
        const bool plain = readDisplayedNumber(text.toStdU16String(), number, value);
        replaceSelection(plain ? QString::fromStdU16String(number) : text);
    });
    paste->setEnabled(ui::ClipboardHasText());
    menu->addAction(QStringLiteral("Select &All"), this, [this] { select(0, 32000); });
    bool first = true;
    for (int i = 0; i < history_.size(); ++i) {
        const QString entry = history_[i];
        if (entry.isEmpty()) continue;
        if (first) menu->addSeparator();
        first = false;
        const QString shown =
            entry.size() > kHistoryShown ? entry.left(kHistoryShown) + QStringLiteral("..") : entry;
        QAction* action = menu->addAction(shown, this, [this, entry] { insertCall(entry, 0); });
        action->setData(kHistoryMenuFirst + i);
    }
    return menu;
}

void ExpressionEdit::contextMenuEvent(QContextMenuEvent* event) {
    if (event->reason() == QContextMenuEvent::Keyboard) return showMenuAtCaret();
    QMenu* menu = createMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

} // namespace pq::calc
