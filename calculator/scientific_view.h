#pragma once

#include <QString>

class QObject;
class QPushButton;
class QWidget;

namespace pq {
class ExpressionEngine;
}

namespace pq::calc {

class ExpressionEdit;
class KeyNamePopup;
class KeyPad;
class ResultDisplay;
struct FrameLayout;
enum class KeyMode;

// The scientific view's parts in the main window's client area: the
// expression line, the buttons "CE", "CLR", "ƒ=?", base and angle unit, the
// function keypad and the character keypad; and what they do to the
// expression line, the main display, the memories m1 to m4 (engine
// definitions) and the stored expressions E1 and E2.
class ScientificView {
  public:
    ScientificView(QWidget* client, QObject* commandReceiver, ExpressionEngine& engine,
                   ResultDisplay& display, KeyNamePopup* popup);

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

    ExpressionEngine& engine_;
    ResultDisplay& display_;
    ExpressionEdit* edit_;
    KeyPad* functionKeypad_;
    KeyPad* characterKeypad_;
    QPushButton* buttons_[5];
    KeyMode mode_;
    QString stored_[2]; // E1, E2
};

} // namespace pq::calc
