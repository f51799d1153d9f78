#pragma once

#include <QPlainTextEdit>
#include <QString>
#include <QStringList>

#include <functional>

namespace pq::calc {

class NameCompleter;

// The expression line of the scientific view. For the keypads its selection
// is the current operand: digits and letters extend the selected operand,
// operators and functions apply to it, so that "2", "x²", "sin" gives
// sin(2²) with the whole call selected. Evaluated texts join a history of
// five, offered in the context menu.
//
// The keyboard edits it as a text field: typed text replaces the selection.
// Right after an evaluation, a typed operator continues from the result
// ("ans+") and anything else starts a new formula, until the caret or the
// selection is moved. Enter posts the evaluate command to the command
// receiver, Escape empties the line and, on an empty line, posts "CLR". Up
// and Down on the first and last line walk the formulas of the recall
// source. Ctrl+C copies the selection the user made, and otherwise posts the
// window's Copy of the result; Paste is left to the window. With a name
// completer, typing a name offers the names that begin with it.
class ExpressionEdit : public QPlainTextEdit {
  public:
    static constexpr int kHistorySize = 5;
    static constexpr char16_t kMoveLeft = u'\u00AB';
    static constexpr char16_t kMoveRight = u'\u00BB';
    static constexpr char16_t kDelete = u'\u203A';
    static constexpr char16_t kBackspace = 8;

    ExpressionEdit(QWidget* parent, QObject* commandReceiver, unsigned evaluateCommand);

    void insertOperator(const QString& text);
    void insertCall(const QString& name, int argumentCount);
    void extendOperand(const QString& text);
    void typeCharacter(char16_t character);
    void clearEntry();
    void addToHistory(const QString& text);
    // Replaces the selection and leaves the new text selected.
    void replaceSelection(const QString& text);

    QString text() const { return toPlainText(); }
    void setText(const QString& text) { setPlainText(text); }
    int selectionStart() const;
    int selectionEnd() const;
    QString selectedText() const;
    void select(int start, int end);
    const QStringList& history() const { return history_; }
    // The context menu: edit commands, then the history.
    QMenu* createMenu();

    // Selects the whole evaluated formula and starts the state in which
    // typing continues from the result or starts a new formula.
    void markEvaluated();
    bool isEvaluated() const { return evaluated_; }
    // The formulas Up and Down walk through, newest first.
    void setRecallSource(std::function<QStringList()> source) { recall_ = std::move(source); }
    // Replaces the whole text as one undoable edit; the caret goes to its end.
    void replaceAll(const QString& text);
    // The names offered while a name is typed; owned by the line.
    void setNameCompleter(NameCompleter* names) { names_ = names; }
    NameCompleter* nameCompleter() const { return names_; }

  protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

  private:
    void setCaret(int position);
    void handleKey(QKeyEvent* event);
    // The context menu at the caret (the Menu key, Shift+F10).
    void showMenuAtCaret();
    // Keyboard: a character typed right after an evaluation.
    void typeAfterEvaluation(QChar character);
    // Keyboard: Up (step 1, older) or Down (-1) through the recall source.
    void recall(int step);
    bool caretCanMove(QTextCursor::MoveOperation direction) const;
    void copySelectionOrResult();
    // Replaces [start, end) by text; the caret goes after it.
    void replaceRange(int start, int end, const QString& text);

    QObject* receiver_;
    unsigned evaluateCommand_;
    QStringList history_;
    bool evaluated_ = false;
    bool marking_ = false; // markEvaluated is selecting
    std::function<QStringList()> recall_;
    NameCompleter* names_ = nullptr;
    int recalled_ = -1; // the recalled formula shown; -1: the line as typed
    QString draft_;     // the line as typed before the walk began
};

} // namespace pq::calc
