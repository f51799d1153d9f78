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
    // "NAME  lowest RATIO (what)" per window name, the lowest first.
    std::string summary() const;

  private:
    std::map<std::string, ContrastReading> lowest_;
};

} // namespace pq::test
