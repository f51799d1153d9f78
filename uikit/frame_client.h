#pragma once

#include "uikit/window_object.h"

namespace pq::ui {

// The client area of a main window. It paints and takes pen input for the
// windowless parts drawn on it (buttons, displays) through its delegate, the
// main window, hands the commands posted to it on as well, and tells the
// delegate when its size changed, so that the window lays its parts out.
class FrameClient : public WindowObject {
  public:
    class Delegate {
      public:
        virtual void paintClient(QPainter& painter, const QRect& area) = 0;
        virtual void clientResized(QSize size) = 0;
        virtual void clientPenDown(QPoint point) = 0;
        virtual void clientPenMove(QPoint point) = 0;
        virtual void clientPenUp(QPoint point) = 0;
        virtual void clientCommand(const CommandEvent& command) = 0;
        // The tooltip of what is drawn at a point; empty for none.
        virtual QString clientToolTip(QPoint) { return {}; }

      protected:
        ~Delegate() = default;
    };

    FrameClient(QWidget* parent, Delegate& delegate);

  protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void penDown(QPoint point) override { delegate_.clientPenDown(point); }
    void penMove(QPoint point) override { delegate_.clientPenMove(point); }
    void penUp(QPoint point) override { delegate_.clientPenUp(point); }
    void command(const CommandEvent& command) override { delegate_.clientCommand(command); }

  private:
    Delegate& delegate_;
};

} // namespace pq::ui
