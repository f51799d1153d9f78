#pragma once

#include <QDate>
#include <QFont>
#include <QTime>
#include <QWidget>

#include <cstdint>
#include <optional>

namespace pq {
class ExpressionEngine;
class NumberFormat;
} // namespace pq

namespace pq::ui {
class DateEdit;
class LineEdit;
class TimeEdit;
} // namespace pq::ui

namespace pq::conv {

class CompoundEditor;

// The editor of the entry panel: a text box for decimal, currency and the
// bases, a date picker (with a time picker for date and time), or the
// compound editor. It shows a value in the attached item's entry format and
// reads back what was typed. Changes made by the user, and values shown with
// notification, are posted to the panel as kCmdEditorChanged.
class ValueEditor : public QWidget {
  public:
    // Longer texts are cut when typed, pasted or set.
    static constexpr int kMaxTextLength = 4096;

    ValueEditor(ExpressionEngine& engine, QWidget* panel);
    ~ValueEditor() override;

    // The format of the attached item (not owned); its entry format changes
    // with setFormat. The compound editor takes its parts.
    void attach(NumberFormat* format);
    // Makes the format the entry format, shows the value with notification
    // and shows only the control for the format, with the keyboard focus.
    void setFormat(int32_t format, std::optional<double> value);
    // No value shows an empty text, an empty compound or no date. Until the
    // user edits, the editor reads back exactly the value shown, not the
    // rounded text it shows.
    void showValue(std::optional<double> value, bool notify);
    // An empty text box, and black text.
    void clear();
    // Pasted into the compound editor: a value as any value box reads it
    // ("4 ft 3 in", "4.25") fills the fields. False when it does not read.
    bool pasteIntoFields(const QString& text);
    // The value shown, or typed since; none when the text does not read.
    std::optional<double> read();

    // Whether the editor shows a value the user has not edited.
    bool showsValue() const { return shown_.has_value(); }

    // Whether the last read text was read (black) or not (red, with the
    // reason as the box's tooltip).
    bool isValid() const { return valid_; }
    // Nothing typed to read: an empty text, a blank compound, no date.
    bool isEmpty() const;
    int32_t format() const { return format_; }
    QWidget* activeControl() const;

    // The text box's and compound editor's font, and the pickers' font.
    void setEditorFont(const QFont& font);
    void setPickerFont(const QFont& font);

    ui::LineEdit* textBox() const { return textBox_; }
    ui::DateEdit* datePicker() const { return datePicker_; }
    // The time box beside the date box, made when first needed: most files
    // have no unit shown as a date and time.
    ui::TimeEdit* timePicker();
    CompoundEditor* compoundEditor() const { return compound_; }

    // The text handed to the engine for a text typed in a format: lower
    // case, with the base suffix ("ff" is "0ffh" in hexadecimal).
    static std::u16string EngineText(const QString& text, int32_t format);
    // The date box's texts: the short date the unit list writes, and dates
    // in the locale's order, ISO 8601 and the list's own forms.
    static QString DateText(const QDate& date);
    static bool ReadDateText(const QString& text, QDate& date, std::optional<QTime>& time);

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void notify();
    // The user changed what the editor holds: it is read from now on.
    void edited();
    void dateEdited();
    void setValid(bool valid, const QString& reason = QString());
    void layoutControls();
    // Shows the control of the format (and the time picker for date and
    // time) and hides the others.
    void showActiveControl();
    bool isDateFormat() const;
    std::optional<double> readDate() const;
    void showDate(std::optional<double> value);

    ExpressionEngine& engine_;
    QWidget* panel_;
    NumberFormat* numberFormat_ = nullptr;
    int32_t format_ = 1;
    bool valid_ = true;
    std::optional<double> shown_; // the value shown, until the user edits
    ui::LineEdit* textBox_;
    ui::DateEdit* datePicker_;
    ui::TimeEdit* timePicker_ = nullptr;
    QFont pickerFont_;
    CompoundEditor* compound_;
};

} // namespace pq::conv
