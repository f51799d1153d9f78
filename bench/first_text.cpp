// The yardstick for start-up timing: the least a Qt Widgets program does to
// show one line of text in the font the programs use, with the same
// first-paint report they give.

#include <QApplication>
#include <QPainter>
#include <QWidget>

#include "uikit/first_paint.h"

namespace {

class TextWindow : public QWidget {
  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        QFont font;
        font.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans"),
                          QStringLiteral("Liberation Sans"), QStringLiteral("sans-serif")});
        font.setStyleHint(QFont::SansSerif);
        font.setPixelSize(13);
        painter.setFont(font);
        painter.drawText(10, 30, QStringLiteral("1234567.89"));
    }
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    pq::ui::WatchFirstPaint();
    TextWindow window;
    window.resize(240, 320);
    window.show();
    return app.exec();
}
