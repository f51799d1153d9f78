#pragma once

// Measures the contrast of text as a window paints it. The programs that
// use this draw text without antialiasing (their tests point fontconfig at
// no_antialiasing.conf), so every glyph pixel shows the text colour itself.
#include <QColor>
#include <QImage>
#include <QRect>

#include <map>
#include <string>
#include <vector>

class QWidget;

namespace pq::test {

// A box in a window where text is drawn, in the window's coordinates.
struct TextPlace {
    std::string what;
    QRect box;
};

struct ContrastReading {
    std::string what;
    double ratio = 21;
    QColor ink, ground;
};

// A mark that identifies a control (an edge, a check box, an icon) and what
// it is drawn on, both in the window's coordinates.
struct ControlPlace {
    std::string what;
    QRect box;
    QRect around; // where the ground is measured; empty: a ring around the box
    bool edge = false; // only the box's outermost pixels mark it (a check box)
};

// A control's mark: the ground is the commonest colour around it, the
// reading the median contrast with the ground of the box's pixels that
// differ visibly from it (1.5:1), or, when hardly any do, the highest.
ContrastReading MeasureMark(const QImage& picture, const ControlPlace& place);

// Where Qt's own widgets draw what identifies a control: the indicators of
// check boxes and radio buttons, the check boxes of checkable items in item
// views, the icons of tool buttons, the left edges of framed text boxes.
std::vector<ControlPlace> WidgetControlPlaces(QWidget& window);

// A box given in the coordinates of a widget inside `window`.
void AddControl(std::vector<ControlPlace>& places, const QWidget& window, const QWidget& widget,
                const QRect& box, const std::string& what, const QRect& around = QRect(),
                bool edge = false);

// The text of one box of a picture: the ground is the box's commonest
// colour, the ink the pixel that stands out most from it.
ContrastReading MeasureText(const QImage& picture, const TextPlace& place);

// Where Qt's own widgets in a window draw text: labels, buttons, check
// boxes, text boxes, combo boxes, the visible items and headers of item
// views, text documents, menu bars, menus, and the title strip of the
// programs' dialogs. Hidden widgets and empty texts have none.
std::vector<TextPlace> WidgetTextPlaces(QWidget& window);

// A box given in the coordinates of a widget inside `window`.
void AddPlace(std::vector<TextPlace>& places, const QWidget& window, const QWidget& widget,
              const QRect& box, const std::string& what);

// Grabs the window and measures every place; the lowest reading. When the
// environment variable PQ_CONTRAST_PICTURES names a folder, the picture is
// saved there as NAME.png.
ContrastReading LowestContrast(QWidget& window, const std::vector<TextPlace>& places,
                               const std::string& name);

// Checks windows one after another: each one's lowest reading must reach
// the 4.5:1 that accessibility guidelines ask of text. The lowest reading per
// window name is kept for the summary printed at the end.
class ContrastWalk {
  public:
    // Measures the window's own widgets and the extra places.
    void check(QWidget& window, const std::string& name, std::vector<TextPlace> extra = {});
    // Measures the window's controls and the extra places: each must reach
    // the 3:1 that accessibility guidelines ask of what identifies a control.
    void checkControls(QWidget& window, const std::string& name,
                       std::vector<ControlPlace> extra = {});
    // "NAME  lowest RATIO (what)" per window name, the lowest first.
    std::string summary() const;

  private:
    std::map<std::string, ContrastReading> lowest_;
};

} // namespace pq::test
