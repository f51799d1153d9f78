#pragma once

#include "uikit/dialogs.h"

namespace pq::ui {

// What the About box of a program says.
struct AboutText {
    QString title;       // the title strip, "Quorvane PqConverter"
    QString programName; // beside the icon
    QString iconName;    // LoadIcon name of the program icon
    QString version;     // VersionText()
    QString description; // a paragraph below the version
};

// The About box both programs share: the title strip, the program's icon and
// name, the version line and a short description, closed with OK.
class AboutBox : public FullScreenDialog {
  public:
    AboutBox(QWidget* parent, const AboutText& text);
    const AboutText& text() const { return text_; }

  private:
    AboutText text_;
};

// "Version 1.0": the version of the build, the package's version too.
QString VersionText();

// Opens the About box over the parent and returns at once.
void ShowAboutBox(QWidget* parent, const AboutText& text);

} // namespace pq::ui
