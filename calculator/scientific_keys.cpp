#include "calculator/scientific_keys.h"

namespace pq::calc {

namespace {

constexpr QRgb kPurple = qRgb(128, 0, 128);
constexpr QRgb kNavy = qRgb(0, 0, 128);
constexpr QRgb kTeal = qRgb(0, 128, 128);
constexpr QRgb kBlack = qRgb(0, 0, 0);
constexpr QRgb kWhite = qRgb(255, 255, 255);
constexpr QRgb kMemory = qRgb(216, 216, 236);
constexpr QRgb kOperator = qRgb(236, 216, 216);
constexpr QRgb kBitwise = qRgb(216, 236, 216);
constexpr QRgb kEditing = qRgb(194, 194, 194);
constexpr QRgb kPlain = qRgb(210, 210, 210);

constexpr KeyDefinition kFunctionKeys[21] = {
    {u"...", u"My Functions", kNavy, kWhite},
    {u"round", u"Round to Integer", kBlack, kPlain},
    {u"!", u"Factorial", kBlack, kPlain},
    {u"x\u00B2", u"Square", kBlack, kPlain},
    {u"pi", u"Pi Number", kBlack, kPlain},
    {u"hyp", u"Hyperbolic Functions", kTeal, kWhite},
    {u"inv", u"Inverse Functions", kTeal, kWhite},

    {u"M1", u"Memory 1", kPurple, kMemory},
    {u"M2", u"Memory 2", kPurple, kMemory},
    {u"E1", u"Expression 1", kPurple, kMemory},
    {u"x\u00B3", u"Cube 3", kBlack, kPlain},
    {u"sin", u"Sine", kBlack, kPlain},
    {u"cos", u"Cosine", kBlack, kPlain},
    {u"tan", u"Tangent", kBlack, kPlain},

    {u"M3", u"Memory 3", kPurple, kMemory},
    {u"M4", u"Memory 4", kPurple, kMemory},
    {u"E2", u"Expression 2", kPurple, kMemory},
    {u"(...)", u"Parentheses", kBlack, kPlain},
    {u"e", u"Natural Logarithm Number", kBlack, kPlain},
    {u"ln", u"Natural Logarithm", kBlack, kPlain},
    {u"lg", u"Logarithm to Base 10", kBlack, kPlain},
};

struct CharacterKey {
    KeyDefinition key;
    char16_t character;
};

constexpr CharacterKey kCharacterKeys[40] = {
    {{u"~", u"Bitwise NOT", kTeal, kBitwise}, u'~'},
    {{u",", u"Comma", kNavy, kOperator}, u','},
    {{u"(", u"Open Bracket", kNavy, kOperator}, u'('},
    {{u")", u"Close Bracket", kNavy, kOperator}, u')'},
    {{u"7", u"Seven", kBlack, kPlain}, u'7'},
    {{u"8", u"Eight", kBlack, kPlain}, u'8'},
    {{u"9", u"Nine", kBlack, kPlain}, u'9'},
    {{u"/", u"Devide", kNavy, kOperator}, u'/'},
    {{u"Bk", u"Back", kPurple, kEditing}, 8},
    {{u"Del", u"Delete", kPurple, kEditing}, u'\u203A'},

    {{u"&", u"Bitwise AND", kTeal, kBitwise}, u'&'},
    {{u"A", u"Hex Digit A", kTeal, kBitwise}, u'A'},
    {{u"B", u"Hex Digit B", kTeal, kBitwise}, u'B'},
    {{u"C", u"Hex Digit C", kTeal, kBitwise}, u'C'},
    {{u"4", u"Four", kBlack, kPlain}, u'4'},
    {{u"5", u"Five", kBlack, kPlain}, u'5'},
    {{u"6", u"Six", kBlack, kPlain}, u'6'},
    {{u"*", u"Multiply", kNavy, kOperator}, u'*'},
    {{u"^", u"Power", kNavy, kOperator}, u'^'},
    {{u"Sp", u"Space", kPurple, kEditing}, u' '},

    {{u"|", u"Bitwise OR", kTeal, kBitwise}, u'|'},
    {{u"D", u"Hex Digit D", kTeal, kBitwise}, u'D'},
    {{u"E", u"Hex Digit E", kTeal, kBitwise}, u'E'},
    {{u"F", u"Hex Digit F", kTeal, kBitwise}, u'F'},
    {{u"1", u"One", kBlack, kPlain}, u'1'},
    {{u"2", u"Two", kBlack, kPlain}, u'2'},
    {{u"3", u"Three", kBlack, kPlain}, u'3'},
    {{u"-", u"Subtract", kNavy, kOperator}, u'-'},
    {{u"\\", u"Modulo", kNavy, kOperator}, u'\\'},
    {{u"Ent", u"New Line", kPurple, kEditing}, u'\r'},

    {{u"#", u"Bitwise XOR", kTeal, kBitwise}, u'#'},
    {{u"h", u"Hex Suffix", kTeal, kBitwise}, u'h'},
    {{u"b", u"Binary Suffix", kTeal, kBitwise}, u'b'},
    {{u"o", u"Octal Suffix", kTeal, kBitwise}, u'o'},
    {{u"0", u"Zero", kBlack, kPlain}, u'0'},
    {{u".", u"Decimal Point", kBlack, kPlain}, u'.'},
    {{u"e", u"Exponent of 10", kBlack, kPlain}, u'e'},
    {{u"+", u"Add", kNavy, kOperator}, u'+'},
    {{u"<\u2013", u"Move to Left", kPurple, kEditing}, u'\u00AB'},
    {{u"\u2013>", u"Move to Right", kPurple, kEditing}, u'\u00BB'},
};

struct CharacterKeyTable {
    KeyDefinition keys[40];
    constexpr CharacterKeyTable() : keys{} {
        for (int i = 0; i < 40; ++i) keys[i] = kCharacterKeys[i].key;
    }
};

constexpr CharacterKeyTable kCharacterKeyTable;

} // namespace

std::span<const KeyDefinition> functionKeys() { return kFunctionKeys; }

QString functionKeyLabel(int cell, KeyMode mode) {
    const bool inverse = mode == KeyMode::Inverse;
    const bool hyperbolic = mode == KeyMode::Hyperbolic;
    switch (cell) {
    case kKeyFactorial: return inverse ? QStringLiteral("%") : QStringLiteral("!");
    case kKeySquare: return inverse ? QStringLiteral("sqrt") : QStringLiteral("x\u00B2");
    case kKeyCube: return inverse ? QStringLiteral("1/x") : QStringLiteral("x\u00B3");
    case kKeyLn: return inverse ? QStringLiteral("e^") : QStringLiteral("ln");
    case kKeyLg: return inverse ? QStringLiteral("10^") : QStringLiteral("lg");
    case kKeySin:
    case kKeyCos:
    case kKeyTan: {
        static const char16_t* const names[3] = {u"sin", u"cos", u"tan"};
        const QString name = QString::fromUtf16(names[cell - kKeySin]);
        if (inverse) return u'a' + name;
        return hyperbolic ? name + u'h' : name;
    }
    default: break;
    }
    if (cell < 0 || cell >= 21) return QString();
    const QString label = QString::fromUtf16(kFunctionKeys[cell].label);
    const bool store = cell == kKeyM1 || cell == kKeyM2 || cell == kKeyM3 || cell == kKeyM4 ||
                       cell == kKeyE1 || cell == kKeyE2;
    return store && inverse ? label + QStringLiteral(" in") : label;
}

std::span<const KeyDefinition> characterKeys() { return kCharacterKeyTable.keys; }

char16_t characterKeyCharacter(int cell) {
    return cell >= 0 && cell < 40 ? kCharacterKeys[cell].character : 0;
}

} // namespace pq::calc
