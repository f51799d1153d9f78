#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

#include "calculator/frame_layout.h"
#include "calculator/history.h"
#include "calculator/kept_modes.h"
#include "calculator/last_answer.h"
#include "calculator/number_text.h"
#include "engine/expression_engine.h"

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
struct OfferedName;
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
    FormulaStatus* status() { return controls().status; }

    void layOut(const FrameLayout& layout);
    void setVisible(bool visible);

    // Handles a command of the view; false for other ids and for "..." (the
    // user-function menu, which the window opens).
    bool command(unsigned id);

    void chooseAngle(AngleMode mode);
    void chooseBase(Base base);
    // Where Tab stops, as the view reads: the buttons left to right, the
    // expression line, the function keys, the character keys.
    QList<QWidget*> keyboardStops();
    // Whether the widget is one of the view's keyboard stops besides the
    // expression line: the buttons and the keypads.
    bool hasKeyboardStop(const QWidget* widget);

    // Evaluates the expression line into the main display; true on success.
    bool evaluate();
    void setMode(KeyMode mode);
    // Back to the normal mode, as every function key but hyp and inv does.
    void endMode();
    KeyMode mode() const { return mode_; }
    const QString& storedExpression(int which) const { return stored_[which]; }

    // The controls, made the first time the view is shown or one of them is
    // asked for: a window that starts in the standard view shows sooner.
    ExpressionEdit* edit() { return controls().edit; }
    KeyPad* functionKeypad() { return controls().functionKeypad; }
    KeyPad* characterKeypad() { return controls().characterKeypad; }
    QPushButton* button(unsigned id);

  private:
    struct Controls {
        ExpressionEdit* edit = nullptr;
        KeyPad* functionKeypad = nullptr;
        KeyPad* characterKeypad = nullptr;
        QPushButton* buttons[5] = {};
        FormulaStatus* status = nullptr;
    };
    Controls& controls();
    void makeControls();
    void functionKey(int cell);
    void storeMemory(int memory);
    void showError();
    // After a switch of the angle unit or base: the last result anew.
    void evaluateAgain();
    void report(const QString& problem);

    // The names the expression line offers as they are typed.
    std::vector<OfferedName> offeredNames() const;

    QWidget* client_;
    QObject* receiver_;
    const UserFunctionList& functions_;
    KeyNamePopup* popup_;
    ExpressionEngine& engine_;
    ResultDisplay& display_;
    std::optional<Controls> controls_; // none until first needed
    std::optional<FrameLayout> layout_;
    KeyMode mode_;
    QString stored_[2]; // E1, E2
    History history_;
    LastAnswer answer_;
    KeptModes kept_;
    QString lastFormula_;          // the formula whose result the display shows
    QString lastShown_;            // the display's text as that result left it
    QString lastProblem_;          // the history problem last shown
    QStringList restoredFormulas_; // for the expression line, once made
    std::function<void()> historyChanged_;
};

} // namespace pq::calc
