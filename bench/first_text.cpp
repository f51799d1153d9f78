// The yardstick for start-up timing: a bare Qt Widgets program, linking Qt
// alone, that shows one line of text in the desktop's general font and
// reports its first frame as the programs do (PQ_EXIT_AFTER_FIRST_PAINT).

#include <QApplication>
#include <QPainter>
#include <QTimer>
#include <QWidget>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace {

class TextWindow : public QWidget {
  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.drawText(10, 30, QStringLiteral("1234567.89"));
        if (!reported_ && std::getenv("PQ_EXIT_AFTER_FIRST_PAINT")) {
            reported_ = true;
            // Once the whole frame has been drawn.
            QTimer::singleShot(0, [] {
                const auto now = std::chrono::steady_clock::now().time_since_epoch();
                std::printf("first-paint %lld\n",
                            static_cast<long long>(
                                std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()));
                std::fflush(stdout);
                _exit(0);
            });
        }
    }

  private:
    bool reported_ = false;
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    TextWindow window;
    window.resize(240, 320);
    window.show();
    return app.exec();
}
