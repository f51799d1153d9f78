#include "engine/builtins.h"

namespace pq {

const BuiltinInfo kBuiltins[kBuiltinCount] = {
    {u"abs", 1},  {u"round", 1},   {u"sqrt", 1},  {u"e", 0},    {u"ln", 1},      {u"lg", 1},
    {u"pi", 0},   {u"sin", 1},     {u"cos", 1},   {u"tan", 1},  {u"asin", 1},    {u"acos", 1},
    {u"atan", 1}, {u"sinh", 1},    {u"cosh", 1},  {u"tanh", 1}, {u"neg", 1},     {u"iif", -1},
    {u"rand", 0}, {u"fromutc", 2}, {u"toutc", 2}, {u"time", 0}, {u"inttime", 1}, {u"err", 0},
};

namespace {

// The built-ins whose names begin with each letter, at most four of them.
struct FirstLetterIndex {
    signed char entries[26][5];
};

FirstLetterIndex buildFirstLetterIndex() {
    FirstLetterIndex index{};
    for (auto& letter : index.entries)
        for (auto& entry : letter) entry = -1;
    for (int i = 0; i < kBuiltinCount; ++i) {
        signed char* letter = index.entries[kBuiltins[i].name[0] - u'a'];
        int k = 0;
        while (letter[k] >= 0) ++k;
        letter[k] = static_cast<signed char>(i);
    }
    return index;
}

int builtinNamed(std::u16string_view name) {
    static const FirstLetterIndex index = buildFirstLetterIndex();
    if (name.empty() || name[0] < u'a' || name[0] > u'z') return -1;
    for (const signed char* i = index.entries[name[0] - u'a']; *i >= 0; ++i)
        if (kBuiltins[*i].name == name) return *i;
    return -1;
}

} // namespace

int resolveBuiltin(std::u16string_view name, int argumentCount) {
    const int i = builtinNamed(name);
    if (i < 0) return -1;
    return (kBuiltins[i].arguments == argumentCount || i == kIif) ? i : -1;
}

bool isBuiltinName(std::u16string_view name) { return builtinNamed(name) >= 0; }

} // namespace pq
