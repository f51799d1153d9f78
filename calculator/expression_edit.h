#pragma once

#include <QPlainTextEdit>
#include <QString>
#include <QStringList>

namespace pq::calc {

// The expression line of the scientific view. Its selection is the current
// operand: digits and letters extend the selected operand, operators and
// functions apply to it, so that "2", "x²", "sin" gives sin(2²) with the
// whole call selected. Evaluated texts join a history of five, offered in
// the context menu. Enter posts the evaluate command to the command
// receiver; Copy and Paste shortcuts are left to the window.
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

  protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

  private:
    void setCaret(int position);
    // Replaces [start, end) by text; the caret goes after it.
    void replaceRange(int start, int end, const QString& text);

    QObject* receiver_;
    unsigned evaluateCommand_;
    QStringList history_;
};

} // namespace pq::calc
