#pragma once

#include <QLabel>

namespace pq::calc {

// The small bordered window that shows the long name of a held key, just
// above the key and kept inside the frame.
class KeyNamePopup : public QLabel {
  public:
    explicit KeyNamePopup(QWidget* frame);

    // cell: the key's rectangle in the frame's coordinates.
    void showName(const QString& name, const QRect& cell);
};

} // namespace pq::calc
