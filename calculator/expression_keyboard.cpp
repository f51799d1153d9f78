// The expression line's keyboard: a text field, with the calculator's habits
// for Enter, Escape, Up, Down and Copy.
#include <QAbstractItemView>
#include <QCompleter>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMenu>

#include "calculator/commands.h"
#include "calculator/expression_edit.h"
#include "calculator/name_completer.h"
#include "engine/tokenizer.h"
#include "uikit/command_event.h"

namespace pq::calc {

namespace {

// Whether a character typed after a result applies to it: an infix or a
// postfix operator ("+", "*", "!", "²", "%"), not a prefix one ("~").
bool continuesFromResult(QChar character) {
    int index = 0;
    const char16_t text[1] = {character.unicode()};
    return lookupOperator(std::u16string_view(text, 1), index) &&
           kOperators[index].kind != OperatorInfo::Prefix;
}

} // namespace

void ExpressionEdit::typeAfterEvaluation(QChar character) {
    replaceAll(continuesFromResult(character) ? QStringLiteral("ans") + character
                                              : QString(character));
}

bool ExpressionEdit::caretCanMove(QTextCursor::MoveOperation direction) const {
    QTextCursor probe = textCursor();
    probe.clearSelection();
    return probe.movePosition(direction);
}

void ExpressionEdit::recall(int step) {
    const QStringList formulas = recall_ ? recall_() : QStringList();
    if (recalled_ < 0) draft_ = text();
    int index = recalled_;
    // A formula equal to the line would change nothing: the walk passes it.
    do {
        index += step;
    } while (index >= 0 && index < formulas.size() && formulas[index] == text());
    if (index >= formulas.size()) return;   // nothing older
    if (index < 0 && recalled_ < 0) return; // already at the line as typed
    recalled_ = std::max(index, -1);
    replaceAll(recalled_ < 0 ? draft_ : formulas[recalled_]);
}

void ExpressionEdit::copySelectionOrResult() {
    // The formula selected by an evaluation is no selection of the user's:
    // right after Enter, Ctrl+C copies the result.
    if (!evaluated_ && textCursor().hasSelection())
        copy();
    else
        ui::PostCommand(receiver_, kCmdCopy);
}

bool ExpressionEdit::event(QEvent* event) {
    // While names are offered, Tab and Enter take the highlighted one (the
    // completer does, when the line leaves the key to it).
    if (event->type() == QEvent::KeyPress && names_ && names_->isOffering()) {
        auto* key = static_cast<QKeyEvent*>(event);
        const int k = key->key();
        if (k == Qt::Key_Tab || k == Qt::Key_Backtab) {
            event->ignore();
            return false;
        }
        if (k == Qt::Key_Escape) { // closes the list, and only the list
            names_->close();
            return true;
        }
        if (k == Qt::Key_Return || k == Qt::Key_Enter) {
            if (names_->takesEnter()) {
                event->ignore();
                return false;
            }
            names_->close(); // the name is whole: Enter evaluates
        }
    }
    // Copy is the line's own (a selection, or the window's Copy of the
    // result); Paste is the window's, which keeps the pasted text selected.
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::Copy)) {
            event->accept();
            return true;
        }
        if (key->matches(QKeySequence::Paste)) {
            event->ignore();
            return false;
        }
    }
    return QPlainTextEdit::event(event);
}

void ExpressionEdit::keyPressEvent(QKeyEvent* event) {
    const bool offering = names_ && names_->isOffering();
    if (offering && (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down ||
                     event->key() == Qt::Key_PageUp || event->key() == Qt::Key_PageDown)) {
        // The list of names takes the arrows while it is open.
        QCoreApplication::sendEvent(names_->completer()->popup(), event);
        return;
    }
    const QString text = event->text();
    const bool typing = (text.size() == 1 && text.front().isPrint() &&
                         !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) ||
                        event->key() == Qt::Key_Backspace;
    handleKey(event);
    if (names_ && (offering || typing)) names_->offer();
}

void ExpressionEdit::showMenuAtCaret() {
    QMenu* menu = createMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(viewport()->mapToGlobal(cursorRect().bottomLeft()));
}

void ExpressionEdit::handleKey(QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy)) return copySelectionOrResult();
    if (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier)
        return showMenuAtCaret();
    const auto modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (modifiers == Qt::NoModifier || modifiers == Qt::ShiftModifier) {
        switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (modifiers == Qt::ShiftModifier)
                textCursor().insertText(QStringLiteral("\n"));
            else
                ui::PostCommand(receiver_, evaluateCommand_);
            return;
        case Qt::Key_Escape:
            recalled_ = -1;
            if (text().isEmpty())
                ui::PostCommand(receiver_, kCmdClear); // the result too
            else
                replaceAll(QString());
            return;
        case Qt::Key_Up:
            if (modifiers == Qt::NoModifier && !caretCanMove(QTextCursor::Up)) return recall(1);
            break;
        case Qt::Key_Down:
            if (modifiers == Qt::NoModifier && !caretCanMove(QTextCursor::Down)) return recall(-1);
            break;
        default: {
            const QString text = event->text();
            if (evaluated_ && text.size() == 1 && text.front().isPrint())
                return typeAfterEvaluation(text.front());
        }
        }
    }
    QPlainTextEdit::keyPressEvent(event);
}

} // namespace pq::calc
