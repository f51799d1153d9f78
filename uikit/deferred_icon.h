#pragma once

#include <QIcon>
#include <QImage>
#include <QList>
#include <QString>

#include <functional>
#include <utility>

namespace pq::ui {

// An icon made only when it is first drawn or asked about, so that the icons
// of menus and buttons not yet shown cost nothing at start-up.
QIcon DeferredIcon(std::function<QIcon()> make);

// An icon drawn from image files of square images of several sizes (side,
// file), each file read the first time a size it serves is drawn. Drawn for a
// light background, an icon that follows the scheme shows a rendering with
// light strokes in the dark scheme.
QIcon IconFromFiles(QList<std::pair<int, QString>> files, bool followsScheme);

// An image file read in the built-in format its name ends in (".png",
// ".bmp"), without asking the image plugins whether one of them reads it
// too: that question loads every plugin and the libraries they need.
QImage ReadImageFile(const QString& path);

// Wraps the application's style so that the standard icons a window makes
// but shows only later (the arrow of a menu bar or toolbar too narrow for
// its items, a dock's buttons, a search box's clear button) are deferred as
// well. Call once, before the first window.
void DeferStandardIcons();

} // namespace pq::ui
