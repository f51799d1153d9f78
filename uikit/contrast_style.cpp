#include "uikit/contrast_style.h"

#include <QPainter>
#include <QPalette>
#include <QStyleOption>

#include "uikit/scheme_colours.h"

namespace pq::ui {

namespace {

// What a control's edge must reach against the colours around it, with a
// little room for rounding.
constexpr double kEdgeContrast = 3.1;

QColor mixed(const QColor& from, const QColor& to, int amount) {
    auto part = [amount](int a, int b) { return a + ((b - a) * amount) / 256; };
    return QColor(part(from.red(), to.red()), part(from.green(), to.green()),
                  part(from.blue(), to.blue()));
}

// `from`, moved towards the palette's text colour until it stands out from
// both the window and the base colour.
QColor standingOut(const QColor& from, const QPalette& palette) {
    const QColor window = palette.color(QPalette::Window);
    const QColor base = palette.color(QPalette::Base);
    const QColor text = palette.color(QPalette::WindowText);
    for (int amount = 0; amount < 256; amount += 8) {
        const QColor edge = mixed(from, text, amount);
        if (ContrastRatio(edge, window) >= kEdgeContrast &&
            ContrastRatio(edge, base) >= kEdgeContrast)
            return edge;
    }
    return text;
}

} // namespace

QColor ControlEdge(const QPalette& palette) {
    return standingOut(
        mixed(palette.color(QPalette::Window), palette.color(QPalette::WindowText), 96), palette);
}

QColor FocusedControlEdge(const QPalette& palette) {
    return standingOut(palette.color(QPalette::Highlight), palette);
}

void ContrastStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                                  QPainter* painter, const QWidget* widget) const {
    QProxyStyle::drawPrimitive(element, option, painter, widget);
    const bool outlined = element == PE_IndicatorCheckBox || element == PE_IndicatorRadioButton ||
                          element == PE_FrameLineEdit || element == PE_PanelButtonCommand ||
                          element == PE_Frame;
    if (!outlined || !option || !(option->state & State_Enabled)) return;
    const bool focused =
        (option->state & State_HasFocus) &&
        (element == PE_FrameLineEdit || (option->state & State_KeyboardFocusChange));
    painter->save();
    painter->setBrush(Qt::NoBrush);
    // On a selected line of a list the selection's text colour stands out.
    const QColor edge = (option->state & State_Selected)
                            ? option->palette.color(QPalette::HighlightedText)
                        : focused ? FocusedControlEdge(option->palette)
                                  : ControlEdge(option->palette);
    painter->setPen(QPen(edge, 1));
    const QRectF outline = QRectF(option->rect).adjusted(0.5, 0.5, -0.5, -0.5);
    if (element == PE_IndicatorRadioButton) {
        painter->setRenderHint(QPainter::Antialiasing, true);
        painter->drawEllipse(outline);
    } else if (element == PE_PanelButtonCommand) {
        painter->setRenderHint(QPainter::Antialiasing, true);
        painter->drawRoundedRect(outline, 2, 2);
    } else {
        painter->setRenderHint(QPainter::Antialiasing, false);
        painter->drawRect(option->rect.adjusted(0, 0, -1, -1));
    }
    painter->restore();
}

void ContrastStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                                       QPainter* painter, const QWidget* widget) const {
    QProxyStyle::drawComplexControl(control, option, painter, widget);
    bool framed = false;
    if (const auto* combo = qstyleoption_cast<const QStyleOptionComboBox*>(option))
        framed = control == CC_ComboBox && combo->frame;
    else if (const auto* spin = qstyleoption_cast<const QStyleOptionSpinBox*>(option))
        framed = control == CC_SpinBox && spin->frame;
    if (!framed || !(option->state & State_Enabled)) return;
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, true);
    painter->setBrush(Qt::NoBrush);
    painter->setPen(QPen((option->state & State_HasFocus) ? FocusedControlEdge(option->palette)
                                                          : ControlEdge(option->palette),
                         1));
    painter->drawRoundedRect(QRectF(option->rect).adjusted(0.5, 0.5, -0.5, -0.5), 2, 2);
    painter->restore();
}

} // namespace pq::ui
