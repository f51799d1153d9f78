#pragma once

#include <QIcon>
#include <QString>

class QToolBar;

namespace pq::ui {

// Makes the kit's resources available and fixes the display scale. Call once
// after the QApplication exists and before the first window.
void InitUiKit();

// The resource path of a themed bitmap (108, 131).
QString BitmapResourcePath(int id);

// An icon by its resource number (128, 133, 134, 149, 152, 155 to 162, 166,
// 169, 182) or by name ("calculator", "converter", "copy", "paste",
// "standard-view", "scientific-view"), drawn at 16 and 32 pixels; program
// icons come in larger sizes as well. Loaded once and shared.
QIcon LoadIcon(int id);
QIcon LoadIcon(const QString& name);
// The same icon as a control shows it: a program's icon too takes the dark
// scheme's lighter strokes, so that it stands out from a dark bar.
QIcon LoadToolIcon(int id);
QIcon LoadToolIcon(const QString& name);

// The side of a small icon on screen: 16·s.
int IconSize();

// Decodes the icons of a toolbar at the size and in the state they are drawn
// in, so that the window's first frame finds them ready. Worth calling while
// the program waits anyway (for the font configuration, before its first
// font).
void DecodeToolBarIcons(const QToolBar* bar);

} // namespace pq::ui
