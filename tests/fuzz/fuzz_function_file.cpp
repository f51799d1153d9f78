// Arbitrary bytes as a functions file: reading must stop cleanly, and what
// it keeps must write out and read back to the same records.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "calculator/user_functions.h"
#include "engine/expression_engine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace pq::calc;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    UserFunctionList functions;
    DecodeFunctionFile(bytes, functions);
    pq::ExpressionEngine engine;
    engine.setCallLimit(100'000); // see fuzz_eval_options.cpp
    RegisterFunctions(engine, functions);
    for (const UserFunction& function : functions) {
        double value = 0;
        std::u16string call = CallName(function.declaration) + u"(";
        for (int i = 1; i < function.paramCount; ++i) call += u"1,";
        call += function.paramCount > 0 ? u"1)" : u")";
        engine.evaluate(call, value);
    }
    UserFunctionList reread;
    if (!DecodeFunctionFile(EncodeFunctionFile(functions), reread) ||
        reread.size() != functions.size())
        __builtin_trap();
    for (size_t i = 0; i < functions.size(); ++i)
        if (reread[i].name != functions[i].name ||
            reread[i].declaration != functions[i].declaration ||
            reread[i].formula != functions[i].formula)
            __builtin_trap();
    return 0;
}
