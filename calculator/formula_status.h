#pragma once

#include <QBasicTimer>
#include <QString>
#include <QWidget>

namespace pq {
class ExpressionEngine;
struct EvalError;
} // namespace pq

namespace pq::calc {

class ExpressionEdit;
class ResultDisplay;

// The line under the expression line. While the user types it shows, in
// grey, the value of the formula typed so far, recomputed shortly after each
// change; a formula that would take long (many user-function calls, or a
// very long text) is not evaluated there, so that typing never waits. After
// a failed evaluation it shows the reason in red and marks where the fault
// lies in the expression line, until the line changes.
class FormulaStatus : public QWidget {
  public:
    // User-function calls a live evaluation may make; more is left to Enter.
    static constexpr long kLiveCalls = 20000;
    // Longer lines are not evaluated live.
    static constexpr int kLiveLength = 2000;
    // How long after the last change the line is evaluated, in ms.
    static constexpr int kLiveDelay = 40;

    FormulaStatus(QWidget* parent, ExpressionEngine& engine, ExpressionEdit& edit,
                  const ResultDisplay& display);

    // The reason of a failed evaluation, and its place marked in the line.
    void showError(const EvalError& error);
    // Shows nothing.
    void clear();
    // Evaluates the line now, as the timer does after a change.
    void evaluateLine();

    const QString& text() const { return text_; }
    bool showsError() const { return error_; }
    bool isPending() const { return timer_.isActive(); }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

  private:
    void lineChanged();
    void show(const QString& text, bool error);

    ExpressionEngine& engine_;
    ExpressionEdit& edit_;
    const ResultDisplay& display_;
    QBasicTimer timer_;
    QString text_;
    bool error_ = false;
};

} // namespace pq::calc
