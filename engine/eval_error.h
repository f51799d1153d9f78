#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace pq {

// Why an evaluation failed.
enum class EvalErrorKind : uint8_t {
    None = 0,
    Empty,              // the text holds no formula
    Syntax,             // a token where it cannot stand ("1 2", "*3", "2(3)")
    BadNumber,          // a malformed number ("1.2.3", "12b", "4e", "1e-", ".")
    MissingParenthesis, // a "(" that is never closed
    ExtraParenthesis,   // a ")" that closes nothing
    Incomplete,         // the formula ends with an operator
    UnknownName,        // no built-in function or definition of that name
    ArgumentCount,      // the name exists, but not with this many arguments
    DivisionByZero,     // "/" or "\" by 0
    Domain,             // a function or "!" outside its domain (sqrt(-1), 2.5!)
    NoRealResult,       // a result that is not a number ((-8)^(1/3))
    Overflow,           // a value beyond ±1e301
    RecursionTooDeep,   // user functions nested too deeply
    TooManyCalls,       // more user-function calls than one evaluation may make
    UnknownZone,        // a time zone code that is not in the zone table
    ErrFunction,        // the formula called err
    NumberTooLarge,     // a literal beyond +-1e301 ("1e302", "1e308")
};

// The reason of a failed evaluation. Faults of the formula's own text carry
// where they lie in it, in UTF-16 units: the token that cannot stand there,
// the "(" that is never closed, the ")" that closes nothing, the operator the
// formula ends with, the name that is unknown or called with the wrong
// number of arguments.
struct EvalError {
    EvalErrorKind kind = EvalErrorKind::None;
    int32_t position = -1; // -1: no place in the text
    int32_t length = 0;
    std::u16string subject;  // the token, name or function concerned, lower case
    std::u16string function; // the user function that was running, if any

    bool hasPosition() const { return position >= 0; }
};

// The reason as a sentence for the user, such as "Division by zero" or
// "Unknown name \"foo\"".
std::u16string DescribeEvalError(const EvalError& error);

// What a failure of a built-in function or of an operator means.
EvalErrorKind BuiltinFailure(int builtin);
EvalErrorKind OperatorFailure(int operatorIndex);

} // namespace pq
