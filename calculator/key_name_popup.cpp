#include "calculator/key_name_popup.h"

#include "uikit/display_scale.h"
#include "uikit/scheme_colours.h"
#include "uikit/ui_font.h"

namespace pq::calc {

KeyNamePopup::KeyNamePopup(QWidget* frame) : QLabel(frame) {
    setObjectName(QStringLiteral("keyName"));
    setFrameShape(QFrame::Box);
    setAlignment(Qt::AlignCenter);
    setAutoFillBackground(true);
    hide();
}

void KeyNamePopup::showName(const QString& name, const QRect& cell) {
    const int s = ui::DisplayScale();
    const QRect text = ui::MeasureText(font(), name);
    const QSize size(text.width() + 5 * s + 2 * frameWidth(), text.height() + 5 * s);
    int left = cell.left();
    const int frameWidthPx = parentWidget() ? parentWidget()->width() : left + size.width();
    if (left + size.width() > frameWidthPx) left = frameWidthPx - size.width();
    left = std::max(0, left);
    const int top = std::max(0, cell.top() - size.height());
    QPalette colours = palette();
    colours.setColor(QPalette::Window, ui::Colours().paper);
    colours.setColor(QPalette::WindowText, ui::Colours().ink);
    setPalette(colours);
    setText(name);
    setGeometry(QRect(QPoint(left, top), size));
    raise();
    show();
}

} // namespace pq::calc
