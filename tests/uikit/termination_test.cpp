#include <gtest/gtest.h>

#include <QApplication>
#include <QCloseEvent>
#include <QTimer>
#include <QWidget>

#include <csignal>

#include "uikit/termination.h"

namespace {

class Window : public QWidget {
  public:
    int closes = 0;

  protected:
    void closeEvent(QCloseEvent* event) override {
        ++closes; // where a program saves its files
        QWidget::closeEvent(event);
    }
};

} // namespace

TEST(Termination, SignalsCloseTheWindowsAndEndTheEventLoop) {
    ASSERT_TRUE(pq::ui::CloseWindowsOnTermination());
    ASSERT_TRUE(pq::ui::CloseWindowsOnTermination()); // once is enough

    for (int signal : {SIGTERM, SIGHUP}) {
        Window window;
        window.show();
        bool timedOut = false;
        QTimer::singleShot(0, [signal] { std::raise(signal); });
        QTimer::singleShot(5000, [&] {
            timedOut = true;
            QCoreApplication::quit();
        });
        EXPECT_EQ(QCoreApplication::exec(), 0);
        EXPECT_FALSE(timedOut) << "signal " << signal;
        EXPECT_EQ(window.closes, 1);
        EXPECT_FALSE(window.isVisible());
    }
}
