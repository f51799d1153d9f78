#include "calculator/standard_keys.h"

#include "calculator/standard_calculator.h"

namespace pq::calc {

namespace {

constexpr QRgb kPurple = qRgb(128, 0, 128);
constexpr QRgb kNavy = qRgb(0, 0, 128);
constexpr QRgb kTeal = qRgb(0, 128, 128);
constexpr QRgb kBlack = qRgb(0, 0, 0);
constexpr QRgb kMemory = qRgb(216, 216, 236);
constexpr QRgb kOperator = qRgb(236, 216, 216);
constexpr QRgb kClear = qRgb(216, 236, 216);
constexpr QRgb kDigit = qRgb(210, 210, 210);

constexpr KeyDefinition kStandardKeys[25] = {
    {u"MC", u"Memory Clear", kPurple, kMemory},
    {u"\u221A\u00AF", u"Square Root", kNavy, kOperator},
    {u"%", u"Percent", kNavy, kOperator},
    {u"\u00AB", u"Back", kBlack, kDigit},
    {u"\u00F7", u"Devide", kNavy, kOperator},

    {u"MR", u"Memory Read", kPurple, kMemory},
    {u"7", u"Seven", kBlack, kDigit},
    {u"8", u"Eight", kBlack, kDigit},
    {u"9", u"Nine", kBlack, kDigit},
    {u"\u00D7", u"Multiply", kNavy, kOperator},

    {u"M+", u"Memory Add", kPurple, kMemory},
    {u"4", u"Four", kBlack, kDigit},
    {u"5", u"Five", kBlack, kDigit},
    {u"6", u"Six", kBlack, kDigit},
    {u"\u2013", u"Substract", kNavy, kOperator},

    {u"CE", u"Clear Edit", kTeal, kClear},
    {u"1", u"One", kBlack, kDigit},
    {u"2", u"Two", kBlack, kDigit},
    {u"3", u"Three", kBlack, kDigit},
    {u"+", u"Add", kNavy, kOperator},

    {u"C", u"Clear All", kTeal, kClear},
    {u"0", u"Zero", kBlack, kDigit},
    {u".", u"Decimal Point", kBlack, kDigit},
    {u"+/-", u"Reverse Polarity", kBlack, kDigit},
    {u"=", u"Equal", kNavy, kOperator},
};

int cellOf(char16_t character) {
    const size_t cell = StandardCalculator::kKeyCharacters.find(character);
    return cell == std::u16string_view::npos ? -1 : static_cast<int>(cell);
}

} // namespace

std::span<const KeyDefinition> standardKeys() { return kStandardKeys; }

int standardKeyForKeyboard(int key, const QString& text) {
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return cellOf(u'=');
    case Qt::Key_Backspace: return cellOf(u'<');
    case Qt::Key_Escape: return cellOf(u'c');
    case Qt::Key_Delete: return cellOf(u'e');
    case Qt::Key_F9: return cellOf(u'~');
    default: break;
    }
    if (text.size() != 1) return -1;
    const char16_t c = text.front().unicode();
    if ((c >= u'0' && c <= u'9') || c == u'+' || c == u'-' || c == u'*' || c == u'/' || c == u'=' ||
        c == u'%' || c == u'.')
        return cellOf(c);
    if (c == u',') return cellOf(u'.');
    if (c == u'@') return cellOf(u's');
    if (c == u'x' || c == u'X') return cellOf(u'*');
    return -1;
}

int standardKeyForControlKey(int key) {
    switch (key) {
    case Qt::Key_L: return cellOf(u'x');
    case Qt::Key_R: return cellOf(u'r');
    case Qt::Key_P: return cellOf(u'a');
    default: return -1;
    }
}

void setStandardKeyToolTips(KeyPad& keypad) {
    // The keyboard keys of each cell, in the order of kKeyCharacters.
    static const char16_t* const keys[25] = {
        u"Ctrl+L", u"@",      u"%",   u"Backspace", u"/",      u"Ctrl+R", u"7",          u"8", u"9",
        u"* or X", u"Ctrl+P", u"4",   u"5",         u"6",      u"-",      u"Delete",     u"1", u"2",
        u"3",      u"+",      u"Esc", u"0",         u". or ,", u"F9",     u"= or Enter",
    };
    for (int cell = 0; cell < 25; ++cell)
        keypad.setToolTip(cell, keypad.longName(cell) + QStringLiteral(" (") +
                                    QString::fromUtf16(keys[cell]) + u')');
}

} // namespace pq::calc
