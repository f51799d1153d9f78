#include <gtest/gtest.h>

#include <string>

#include "engine/eval_error.h"
#include "engine/expression_engine.h"

using namespace pq;

namespace {

struct FailureCase {
    std::u16string_view formula;
    EvalErrorKind kind;
    int position; // -1: none
    int length;
    std::u16string_view reason;
};

const FailureCase kFailures[] = {
    {u"1/0", EvalErrorKind::DivisionByZero, -1, 0, u"Division by zero"},
    {u"5\\0", EvalErrorKind::DivisionByZero, -1, 0, u"Division by zero"},
    {u"sqrt(-1)", EvalErrorKind::Domain, -1, 0, u"\"sqrt\" is not defined for this value"},
    {u"ln(0)+1", EvalErrorKind::Domain, -1, 0, u"\"ln\" is not defined for this value"},
    {u"2.5!", EvalErrorKind::Domain, -1, 0, u"\"!\" needs a whole number from 0 to 149"},
    {u"tan(1)+1", EvalErrorKind::None, -1, 0, u""},
    {u"(-8)^(1/3)", EvalErrorKind::NoRealResult, -1, 0, u"The result is not a real number"},
    {u"1e300*1e2", EvalErrorKind::Overflow, -1, 0, u"Overflow: a value beyond \u00B11e301"},
    {u"(1+2", EvalErrorKind::MissingParenthesis, 0, 1, u"Missing \")\""},
    {u"sin((1+2)", EvalErrorKind::MissingParenthesis, 3, 1, u"Missing \")\""},
    {u"2*(3+(4", EvalErrorKind::MissingParenthesis, 5, 1, u"Missing \")\""},
    {u"1+2)", EvalErrorKind::ExtraParenthesis, 3, 1, u"Extra \")\" without \"(\""},
    {u"foo+1", EvalErrorKind::UnknownName, 0, 3, u"Unknown name \"foo\""},
    {u"2*FOO", EvalErrorKind::UnknownName, 2, 3, u"Unknown name \"foo\""},
    {u"2*sin(1,2)", EvalErrorKind::ArgumentCount, 2, 3, u"Wrong number of arguments for \"sin\""},
    {u"pi+pi(1)", EvalErrorKind::ArgumentCount, 3, 2, u"Wrong number of arguments for \"pi\""},
    {u"iif(1,2)", EvalErrorKind::ArgumentCount, 0, 3, u"Wrong number of arguments for \"iif\""},
    {u"1+ ", EvalErrorKind::Incomplete, 1, 1, u"The formula ends with an operator"},
    {u"1 2", EvalErrorKind::Syntax, 2, 1, u"Syntax error at \"2\""},
    {u"2(3)", EvalErrorKind::Syntax, 1, 1, u"Syntax error at \"(\""},
    {u"*3", EvalErrorKind::Syntax, 0, 1, u"Syntax error at \"*\""},
    {u"1,2", EvalErrorKind::Syntax, 1, 1, u"Syntax error at \",\""},
    {u"3+1.2.3", EvalErrorKind::BadNumber, 2, 5, u"\"1.2.3\" is not a number"},
    {u"1e302", EvalErrorKind::NumberTooLarge, 0, 5,
     u"\"1e302\" is too large: numbers lie within \u00B11e301"},
    {u"2*1e308", EvalErrorKind::NumberTooLarge, 2, 5,
     u"\"1e308\" is too large: numbers lie within \u00B11e301"},
    {u"2*4e", EvalErrorKind::BadNumber, 2, 2, u"\"4e\" is not a number"},
    {u"1e-+1", EvalErrorKind::BadNumber, 0, 3, u"\"1e-\" is not a number"},
    {u"1+.", EvalErrorKind::BadNumber, 2, 1, u"\".\" is not a number"},
    {u"  ", EvalErrorKind::Empty, -1, 0, u"There is no formula"},
    {u"err", EvalErrorKind::ErrFunction, -1, 0, u"The formula calls err"},
    {u"fromutc(999,0)", EvalErrorKind::UnknownZone, -1, 0, u"Unknown time zone"},
};

} // namespace

TEST(EvalErrorTest, EachFailureGivesItsReasonAndPlace) {
    ExpressionEngine engine;
    for (const FailureCase& c : kFailures) {
        SCOPED_TRACE(std::string(c.formula.begin(), c.formula.end()));
        double value = 0;
        EXPECT_EQ(engine.evaluate(c.formula, value), c.kind == EvalErrorKind::None);
        const EvalError& error = engine.lastError();
        EXPECT_EQ(error.kind, c.kind);
        EXPECT_EQ(error.position, c.position);
        if (c.position >= 0) {
            EXPECT_EQ(error.length, c.length);
        }
        EXPECT_EQ(DescribeEvalError(error), c.reason);
    }
}

TEST(EvalErrorTest, FaultsInsideUserFunctionsNameTheFunction) {
    ExpressionEngine engine;
    int parameters = 0;
    ASSERT_TRUE(engine.defineFunction(u"inv(x)", u"1/x", parameters));
    ASSERT_TRUE(engine.defineFunction(u"loop(x)", u"loop(x+1)", parameters));
    ASSERT_TRUE(engine.defineFunction(u"half(x)", u"x/", parameters));
    ASSERT_TRUE(
        engine.defineFunction(u"twice(n)", u"iif(n<1, 0, twice(n-1)+twice(n-1))", parameters));
    struct {
        std::u16string_view formula;
        EvalErrorKind kind;
        std::u16string_view reason;
    } const cases[] = {
        {u"2+inv(0)", EvalErrorKind::DivisionByZero, u"Division by zero in \"inv\""},
        {u"loop(1)", EvalErrorKind::RecursionTooDeep, u"Recursion too deep in \"loop\""},
        {u"half(4)", EvalErrorKind::Incomplete, u"The formula of \"half\" ends with an operator"},
        {u"inv(1,2)", EvalErrorKind::ArgumentCount, u"Wrong number of arguments for \"inv\""},
    };
    for (const auto& c : cases) {
        double value = 0;
        EXPECT_FALSE(engine.evaluate(c.formula, value));
        EXPECT_EQ(engine.lastError().kind, c.kind);
        EXPECT_EQ(DescribeEvalError(engine.lastError()), c.reason);
        EXPECT_EQ(engine.lastError().hasPosition(), c.kind == EvalErrorKind::ArgumentCount);
    }

    // A limit on the calls stops an evaluation early, and a success clears the reason.
    double value = 0;
    EXPECT_TRUE(engine.evaluate(u"twice(10)", value));
    engine.setCallLimit(1000);
    EXPECT_FALSE(engine.evaluate(u"twice(10)", value));
    EXPECT_EQ(engine.lastError().kind, EvalErrorKind::TooManyCalls);
    EXPECT_TRUE(engine.evaluate(u"twice(8)", value));
    EXPECT_EQ(engine.lastError().kind, EvalErrorKind::None);
}
