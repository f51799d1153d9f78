#pragma once

#include <QFont>
#include <QRect>
#include <QString>

#include <array>
#include <functional>

#include "uikit/window_object.h"

namespace pq::conv {

// The in-place editor of a compound value such as feet and inches: up to four
// fields, each a number of at most eight digits followed by its label. Digits
// go into the current field, Left and Right move between the fields, a tap
// picks one. A value may also be typed as people write it, the fields
// following what is typed: "5 ft 11 in", "5' 11\"", "5 ft 11 3/16 in", "3
// in", "5 11" (a blank moves on to the next field); a field may hold a
// fraction ("11 3/16"). Every change is reported through the change handler.
class CompoundEditor : public ui::WindowObject {
  public:
    static constexpr int kMaxFields = 4;
    static constexpr int kMaxDigits = 8;

    explicit CompoundEditor(QWidget* parent = nullptr);

    // The number of fields (1 to 4) and their labels; the fields become
    // empty, the first is current and the next digit replaces it.
    void setFields(int count, const std::array<QString, kMaxFields>& labels);
    // Puts digit texts into the fields; the first field is current again.
    void setDigits(const std::array<QString, kMaxFields>& digits);
    // Every field empty (read as nothing).
    void clearDigits();

    // "[5 ft 6 in ]": each field's number (or "0") and label (or " "); a
    // fraction as its decimal value ("11 3/16" as 11.1875).
    QString compoundText() const;
    // Every field holds a number that reads: nothing unfinished ("11 3/").
    bool isFinished() const;
    // Paints the digits in the error colour while the value does not read.
    void setErrorShown(bool shown);
    // No field has been given digits since the last setFields or clear.
    bool isBlank() const;

    int fieldCount() const { return fieldCount_; }
    int currentField() const { return currentField_; }
    // A field's digits as shown: "0" when empty.
    QString fieldText(int field) const;
    const QString& label(int field) const { return fields_[field].label; }
    bool replacesNext() const { return replaceNext_; }
    QRect digitRect(int field) const;

    void setEditorFont(const QFont& font);
    void setChangeHandler(std::function<void()> handler) { onChange_ = std::move(handler); }

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void penDown(QPoint point) override;

  private:
    struct Field {
        QString digits;
        QString label;
    };
    // Where a field's digits and label lie.
    struct Place {
        QRect digits;
        QRect label;
    };

    // A character typed: the fields follow the text typed since the field
    // was entered; false when it cannot go on that text.
    bool type(QChar character);
    // Backspace within what was typed; false when nothing was.
    bool untype();
    bool showTyped(const QString& typed);
    void endTyping();
    void changed();
    // The places are measured when next drawn or asked for: the editor stays
    // hidden unless a compound format is chosen.
    void invalidatePlaces();
    const std::array<Place, kMaxFields>& places() const;

    std::array<Field, kMaxFields> fields_;
    mutable std::array<Place, kMaxFields> places_;
    mutable int placedHeight_ = -1; // -1 until placed again
    int fieldCount_ = 1;
    int currentField_ = 0;
    bool replaceNext_ = true;
    bool errorShown_ = false;
    // What was typed since the field `typedFrom_` was entered, and the
    // fields as they were then.
    QString typed_;
    int typedFrom_ = 0;
    std::array<QString, kMaxFields> typedOver_;
    QFont font_;
    std::function<void()> onChange_;
};

} // namespace pq::conv
