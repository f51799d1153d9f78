#pragma once

#include <QFont>
#include <QString>

#include <cstdint>

#include "uikit/push_button.h"

class QPainter;

namespace pq::conv {

// One tab of the entry panel: the label of an entry format, drawn in a flat
// sunken frame; the selected tab is open (white) towards the editor below.
class FormatTab : public ui::PushButton {
  public:
    static constexpr int kMaxLabel = 31;

    // The tab's label for an entry format ("number", "hexadecimal",
    // ...); empty for a code that has no tab.
    static QString LabelFor(int32_t format);

    // Places the tab with its left at x; its width follows the label.
    void create(QWidget* owner, unsigned commandId, int32_t format, const QFont& font, int x);

    void setSelected(bool selected);
    bool isSelected() const { return selected_; }
    int32_t format() const { return format_; }
    const QString& label() const { return label_; }
    const QFont& font() const { return font_; }

    void draw(QPainter& painter) const;

  private:
    QString label_;
    int32_t format_ = 0;
    bool selected_ = false;
    QFont font_;
};

} // namespace pq::conv
