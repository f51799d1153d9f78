#pragma once

#include <QWidget>

namespace pq::calc {

// The part of the client area below the displays that belongs to the
// scientific view: the expression line and its two keypads.
class ScientificView : public QWidget {
  public:
    explicit ScientificView(QWidget* parent);

  protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace pq::calc
