#pragma once

#include "uikit/window_object.h"

namespace pq::conv {

// The client area of the main window: it paints the top strip with its two
// buttons and takes their pen input through its delegate, the main window,
// and hands the commands posted to it on as well. The unit list and the
// entry panel are its children.
class FrameClient : public ui::WindowObject {
  public:
    class Delegate {
      public:
        virtual void paintClient(QPainter& painter, const QRect& area) = 0;
        virtual void layoutClient() = 0;
        virtual void clientPenDown(QPoint point) = 0;
        virtual void clientPenMove(QPoint point) = 0;
        virtual void clientPenUp(QPoint point) = 0;
        virtual void clientCommand(const ui::CommandEvent& command) = 0;

      protected:
        ~Delegate() = default;
    };

    FrameClient(QWidget* parent, Delegate& delegate);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void penDown(QPoint point) override { delegate_.clientPenDown(point); }
    void penMove(QPoint point) override { delegate_.clientPenMove(point); }
    void penUp(QPoint point) override { delegate_.clientPenUp(point); }
    void command(const ui::CommandEvent& command) override { delegate_.clientCommand(command); }

  private:
    Delegate& delegate_;
};

} // namespace pq::conv
