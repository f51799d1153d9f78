#include "engine/builtins.h"

namespace pq {

const BuiltinInfo kBuiltins[kBuiltinCount] = {
    {u"abs", 1},  {u"round", 1},   {u"sqrt", 1},  {u"e", 0},    {u"ln", 1},      {u"lg", 1},
    {u"pi", 0},   {u"sin", 1},     {u"cos", 1},   {u"tan", 1},  {u"asin", 1},    {u"acos", 1},
    {u"atan", 1}, {u"sinh", 1},    {u"cosh", 1},  {u"tanh", 1}, {u"neg", 1},     {u"iif", -1},
    {u"rand", 0}, {u"fromutc", 2}, {u"toutc", 2}, {u"time", 0}, {u"inttime", 1}, {u"err", 0},
};

int resolveBuiltin(std::u16string_view name, int argumentCount) {
    for (int i = 0; i < kBuiltinCount; ++i) {
        if (kBuiltins[i].name == name)
            return (kBuiltins[i].arguments == argumentCount || i == kIif) ? i : -1;
    }
    return -1;
}

bool isBuiltinName(std::u16string_view name) {
    for (const BuiltinInfo& b : kBuiltins)
        if (b.name == name) return true;
    return false;
}

} // namespace pq
