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
    default: break;
    }
    if (text.size() != 1) return -1;
    const char16_t c = text.front().unicode();
    if ((c >= u'0' && c <= u'9') || c == u'+' || c == u'-' || c == u'*' || c == u'/' || c == u'=' ||
        c == u'%' || c == u'.')
        return cellOf(c);
    if (c == u',') return cellOf(u'.');
    return -1;
}

} // namespace pq::calc
