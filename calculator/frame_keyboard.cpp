// The main window from the keyboard: where Tab stops, where typing goes,
// and the keyboard stops over the buttons drawn on the client.
#include <QCoreApplication>
#include <QDockWidget>
#include <QKeyEvent>

#include "calculator/expression_edit.h"
#include "calculator/keypad.h"
#include "calculator/main_frame.h"
#include "calculator/scientific_view.h"
#include "calculator/standard_keys.h"
#include "uikit/button_focus.h"

namespace pq::calc {

void CMainFrame::placeFocusStops() {
    const bool standard = view_ == ViewMode::Standard;
    functionNameStop_->follow(functionName_);
    functionNameStop_->setVisible(standard);
    functionResultStop_->follow(functionResult_.button());
    functionResultStop_->setVisible(standard && !callName_.isEmpty());
}

bool CMainFrame::focusNextPrevChild(bool next) {
    QList<QWidget*> stops =
        view_ == ViewMode::Scientific
            ? scientific_->keyboardStops()
            : QList<QWidget*>{standardKeypad_, functionNameStop_, functionResultStop_};
    if (historyDock_ && historyDock_->isVisible()) stops += ui::FocusableWidgets(historyDock_);
    return ui::MoveFocus(stops, next);
}

void CMainFrame::focusHome() {
    if (view_ == ViewMode::Scientific)
        scientific_->edit()->setFocus();
    else
        standardKeypad_->setFocus();
}

void CMainFrame::keyPressEvent(QKeyEvent* event) {
    const auto modifiers = event->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier);
    if (view_ == ViewMode::Standard &&
        (modifiers == Qt::NoModifier || modifiers == Qt::ControlModifier)) {
        const int cell = modifiers == Qt::ControlModifier
                             ? standardKeyForControlKey(event->key())
                             : standardKeyForKeyboard(event->key(), event->text());
        if (cell >= 0) {
            standardKeypad_->typeKey(cell);
            event->accept();
            return;
        }
    }
    if (view_ == ViewMode::Scientific && scientific_->hasKeyboardStop(focusWidget())) {
        // On a button or keypad, Escape goes back to the line and typing goes
        // on in it; other keys (Shift, the arrows) leave the focus where it is.
        const QString text = event->text();
        if (event->key() == Qt::Key_Escape) {
            scientific_->edit()->setFocus();
            return;
        }
        if (text.isEmpty() || !text.front().isPrint()) return QMainWindow::keyPressEvent(event);
    }
    if (view_ == ViewMode::Scientific && !scientific_->edit()->hasFocus()) {
        // Keys typed while the focus strayed still go into the expression line.
        scientific_->edit()->setFocus();
        QCoreApplication::sendEvent(scientific_->edit(), event);
        return;
    }
    QMainWindow::keyPressEvent(event);
}

} // namespace pq::calc
