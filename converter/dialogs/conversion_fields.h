#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;

namespace pq::conv {

// The fields of one conversion, as both conversion dialogs show them:
// Standard "1 (Unit1) = [a] (Unit 2)" and "+ [b]", or Advanced
// "Forward: [formula]" and "Reverse: [formula]".
class ConversionFields : public QWidget {
  public:
    enum class Mode { None, Standard, Advanced };

    // relation: "~" in the list of conversions, "=" when adding one.
    ConversionFields(QWidget* parent, const QString& relation);

    void setMode(Mode mode);
    Mode mode() const { return mode_; }
    // The units' display names; empty names read "(Unit1)" and "(Unit 2)".
    void setUnitNames(const QString& first, const QString& second);

    QLineEdit* factorBox() const { return factor_; }
    QLineEdit* offsetBox() const { return offset_; }
    QLineEdit* forwardBox() const { return forward_; }
    QLineEdit* reverseBox() const { return reverse_; }
    QWidget* standardPanel() const { return standard_; }
    QWidget* advancedPanel() const { return advanced_; }
    QLabel* firstUnitLabel() const { return firstUnit_; }
    QLabel* secondUnitLabel() const { return secondUnit_; }

    // Tints a box whose text was not taken (or does not parse) and clears
    // the tint again.
    static void markInvalid(QLineEdit* box, bool invalid);

  private:
    QString relation_;
    Mode mode_ = Mode::None;
    QWidget* standard_;
    QWidget* advanced_;
    QLabel* firstUnit_;
    QLabel* secondUnit_;
    QLineEdit* factor_;
    QLineEdit* offset_;
    QLineEdit* forward_;
    QLineEdit* reverse_;
};

} // namespace pq::conv
