#pragma once

#include <QString>

#include <functional>

#include "calculator/history.h"
#include "calculator/kept_modes.h"
#include "calculator/last_answer.h"

class QObject;
class QPushButton;
class QWidget;

namespace pq {
class ExpressionEngine;
}

namespace pq::calc {

class ExpressionEdit;
class FormulaStatus;
class KeyNamePopup;
class KeyPad;
class ResultDisplay;
struct FrameLayout;
enum class KeyMode;

// The scientific view's parts in the main window's client area: the
// expression line, the buttons "CE", "CLR", "ƒ=?", base and angle unit, the
// function keypad and the character keypad; and what they do to the
// expression line, the main display, the memories m1 to m4 (engine
// definitions) and the stored expressions E1 and E2. Under the expression
// line, the live value or the reason of a failed evaluation. Each result
// joins the history and becomes "ans"; the angle unit and the base are kept
// between runs, and switching either shows the last result anew.
class ScientificView {
  public:
    ScientificView(QWidget* client, QObject* commandReceiver, ExpressionEngine& engine,
                   ResultDisplay& display, KeyNamePopup* popup, const UserFunctionList& functions);

    // Once the user functions are known: reads the history (a problem is
    // shown over the window) and makes "ans" its last result.
    void restore(const QString& historyFile);
    // Called after every change of the history.
    void setHistoryListener(std::function<void()> listener) {
        historyChanged_ = std::move(listener);
    }
    const History& history() const { return history_; }
    void clearHistory();
    // A formula of the history replaces the line; a result is typed into it.
    void reuseFormula(const QString& formula);
    void insertResult(const QString& result);
    LastAnswer& lastAnswer() { return answer_; }
    KeptModes& keptModes() { return kept_; }
    FormulaStatus* status() const { return status_; }

    void layOut(const FrameLayout& layout);
    void setVisible(bool visible);

    // Handles a command of the view; false for other ids and for "..." (the
    // user-function menu, which the window opens).
    bool command(unsigned id);

    // Evaluates the expression line into the main display; true on success.
    bool evaluate();
    void setMode(KeyMode mode);
    // Back to the normal mode, as every function key but hyp and inv does.
    void endMode();
    KeyMode mode() const { return mode_; }
    const QString& storedExpression(int which) const { return stored_[which]; }

    ExpressionEdit* edit() const { return edit_; }
    KeyPad* functionKeypad() const { return functionKeypad_; }
    KeyPad* characterKeypad() const { return characterKeypad_; }
    QPushButton* button(unsigned id) const;

  private:
    void functionKey(int cell);
    void storeMemory(int memory);
    void showError();
    // After a switch of the angle unit or base: the last result anew.
    void evaluateAgain();
    void report(const QString& problem);

    ExpressionEngine& engine_;
    ResultDisplay& display_;
    ExpressionEdit* edit_;
    KeyPad* functionKeypad_;
    KeyPad* characterKeypad_;
    QPushButton* buttons_[5];
    KeyMode mode_;
    QString stored_[2]; // E1, E2
    FormulaStatus* status_;
    History history_;
    LastAnswer answer_;
    KeptModes kept_;
    QString lastFormula_; // the formula whose result the display shows
    QString lastShown_;   // the display's text as that result left it
    QString lastProblem_; // the history problem last shown
    std::function<void()> historyChanged_;
};

} // namespace pq::calc
