#pragma once

#include <QColor>
#include <QProxyStyle>

class QPalette;

namespace pq::ui {

// The edge of a control (a check box, a text box, a button) in a palette:
// a colour that stands out at least 3:1, as accessibility guidelines ask of
// what identifies a control, from both the window and the base (text box)
// colour, whatever the desktop's palette is.
QColor ControlEdge(const QPalette& palette);
// The same for a control with the keyboard focus, in the highlight colour.
QColor FocusedControlEdge(const QPalette& palette);

// The application's style with the edges of check boxes, radio buttons,
// text boxes, lists, combo and spin boxes and buttons drawn in ControlEdge: many
// styles draw them barely darker than the window, which in a dark palette
// hides an unchecked check box altogether.
class ContrastStyle : public QProxyStyle {
  public:
    using QProxyStyle::QProxyStyle;

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                            QPainter* painter, const QWidget* widget = nullptr) const override;
};

} // namespace pq::ui
