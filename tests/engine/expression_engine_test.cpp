#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "engine/expression_engine.h"

using namespace pq;

namespace {

class EngineTest : public ::testing::Test {
  protected:
    // The value of a formula; a failed evaluation shows as NaN.
    double eval(std::u16string_view text) {
        double v;
        return engine.evaluate(text, v) ? v : NAN;
    }
    bool fails(std::u16string_view text) {
        double v;
        return !engine.evaluate(text, v);
    }
    ExpressionEngine engine;
};

} // namespace

TEST_F(EngineTest, Operators) {
    EXPECT_EQ(eval(u"1+2*3"), 7);
    EXPECT_EQ(eval(u"2^3^2"), 64);
    EXPECT_EQ(eval(u"-2^2"), 4);
    EXPECT_EQ(eval(u"2^-3"), 0.125);
    EXPECT_EQ(eval(u"2--3"), 5);
    EXPECT_EQ(eval(u"--3"), 3);
    EXPECT_EQ(eval(u"5!"), 120);
    EXPECT_EQ(eval(u"-3!"), -6);
    EXPECT_EQ(eval(u"3\u00B2"), 9);
    EXPECT_EQ(eval(u"2\u00B3"), 8);
    EXPECT_EQ(eval(u"50%"), 0.5);
    EXPECT_EQ(eval(u"200*10%"), 20);
    EXPECT_EQ(eval(u"(2+3)!"), 120);
    EXPECT_EQ(eval(u"5\\3"), 2);
    EXPECT_EQ(eval(u"-5\\3"), -2);
    EXPECT_EQ(eval(u"2^0.5"), std::sqrt(2.0));
    EXPECT_EQ(eval(u"3>2"), -1);
    EXPECT_EQ(eval(u"2>3"), 0);
    EXPECT_EQ(eval(u"1=1"), -1);
    EXPECT_EQ(eval(u"1<2=-1"), -1);
    EXPECT_EQ(eval(u"0FEh-1"), 253); // the whole formula is lower-cased first
    EXPECT_EQ(eval(u"1E+3"), 1000); // an exponent may be signed
    EXPECT_EQ(eval(u"2.5e+3+1"), 2501);
}

TEST_F(EngineTest, BitwiseOperatorsWorkOn32Bits) {
    EXPECT_EQ(eval(u"6&3"), 2);
    EXPECT_EQ(eval(u"6|3"), 7);
    EXPECT_EQ(eval(u"6#3"), 5);
    EXPECT_EQ(eval(u"~0"), -1);
    EXPECT_EQ(eval(u"~1^2"), 4);
    EXPECT_EQ(eval(u"-7.9&255"), 249); // truncated toward zero: -7
    // Outside the signed 32-bit range a value wraps modulo 2^32.
    EXPECT_EQ(eval(u"4294967295&1"), 1);
    EXPECT_EQ(eval(u"4294967296|0"), 0);
    EXPECT_EQ(eval(u"~4294967295"), 0);
    EXPECT_EQ(eval(u"2147483648|0"), -2147483648.0);
    EXPECT_EQ(eval(u"1e300&1"), 0);
}

TEST_F(EngineTest, FailuresOfOperatorsAndFunctions) {
    for (const char16_t* text :
         {u"1/0",       u"sqrt(-1)", u"ln(0)",    u"lg(-5)",       u"asin(1.5)", u"acos(-1.01)",
          u"err",       u"170!",     u"150!",     u"2.5!",         u"(-1)!",     u"(-8)^(1/3)",
          u"1e300*1e2", u"0^-1",     u"5\\0",     u"-1e301-1e300", u"1+",        u"",
          u"  ",        u"nothing",  u"sin(1,2)", u"sin"})
        EXPECT_TRUE(fails(text));
    EXPECT_EQ(eval(u"0!"), 1);
    EXPECT_NEAR(eval(u"149!"), 3.8089226376305671e260, 1e247);
}

TEST_F(EngineTest, ResultsStayWithinTheValidRange) {
    EXPECT_EQ(eval(u"10e300"), 1e301); // the limit itself is valid
    EXPECT_EQ(eval(u"1e301"), 1e301);  // as a literal too, as 1e300*10 is
    EXPECT_EQ(eval(u"-1e301"), -1e301);
    EXPECT_TRUE(fails(u"100e300"));    // beyond it a literal is too large
    EXPECT_TRUE(fails(u"1e309"));      // even beyond the doubles
    EXPECT_TRUE(fails(u"1" + std::u16string(250, u'0') + u"e100"));
}

TEST_F(EngineTest, BuiltInFunctions) {
    EXPECT_EQ(eval(u"abs(-2)"), 2);
    EXPECT_EQ(eval(u"round(2.5)"), 3);
    EXPECT_EQ(eval(u"round(-2.5)"), -2);
    EXPECT_EQ(eval(u"round(-2.6)"), -3);
    EXPECT_EQ(eval(u"e"), std::exp(1.0));
    EXPECT_EQ(eval(u"pi"), 2 * std::asin(1.0));
    EXPECT_EQ(eval(u"ln(e)"), 1);
    EXPECT_EQ(eval(u"lg(1000)"), 3);
    EXPECT_EQ(eval(u"neg(4)"), -4);
    EXPECT_EQ(eval(u"SQRT(16)"), 4);
    EXPECT_EQ(eval(u"tanh(0)+sinh(0)+cosh(0)"), 1);

    engine.seedRandom(1);
    double a = eval(u"rand");
    double b = eval(u"rand");
    EXPECT_NE(a, b);
    for (int i = 0; i < 1000; ++i) {
        double r = eval(u"rand");
        ASSERT_GE(r, 0);
        ASSERT_LE(r, 1);
        ASSERT_NEAR(r * 32767, std::round(r * 32767), 1e-9); // 32768 steps
    }
}

TEST_F(EngineTest, AngleModes) {
    EXPECT_EQ(engine.angleModeName(), u"Rad");
    EXPECT_NEAR(eval(u"sin(5)"), -0.959, 0.001);
    EXPECT_EQ(engine.nextAngleMode(), u"Deg");
    EXPECT_NEAR(eval(u"sin(30)"), 0.5, 1e-15);
    EXPECT_EQ(eval(u"cos(90)"), 0);
    EXPECT_EQ(eval(u"sin(180)"), 0);
    EXPECT_EQ(eval(u"cos(-270)"), 0);
    EXPECT_EQ(eval(u"sin(450)"), 1);
    EXPECT_NEAR(eval(u"sin(-100)"), -0.985, 0.001);
    EXPECT_TRUE(fails(u"tan(90)"));
    EXPECT_TRUE(fails(u"tan(-90)"));
    EXPECT_TRUE(fails(u"tan(270)"));
    EXPECT_NEAR(eval(u"tan(45)"), 1, 1e-15);
    EXPECT_EQ(eval(u"asin(1)"), 90);
    EXPECT_EQ(eval(u"atan(1)"), 45);
    EXPECT_EQ(eval(u"acos(0)"), 90);
    EXPECT_EQ(engine.nextAngleMode(), u"Gra");
    EXPECT_EQ(eval(u"sin(100)"), 1);
    EXPECT_EQ(eval(u"asin(1)"), 100);
    EXPECT_EQ(engine.nextAngleMode(), u"Rad");
    EXPECT_EQ(eval(u"sinh(1)"), std::sinh(1.0)); // no angle unit
}

TEST_F(EngineTest, IifEvaluatesOnlyTheChosenArgument) {
    EXPECT_EQ(eval(u"iif(0,1,2)"), 2);
    EXPECT_EQ(eval(u"iif(1,10,0,20,30)"), 10);
    EXPECT_EQ(eval(u"iif(0,10,1,20,30)"), 20);
    EXPECT_EQ(eval(u"iif(0,10,0,20,30)"), 30);
    EXPECT_TRUE(fails(u"iif(1,2)"));
    EXPECT_TRUE(fails(u"iif(1,2,3,4)"));
    EXPECT_TRUE(fails(u"iif"));
    ASSERT_TRUE(engine.setVariable(u"x", 0));
    EXPECT_EQ(eval(u"iif(x=0, 0, 1/x)"), 0);
    EXPECT_EQ(eval(u"iif(1, 5, err)"), 5);
    EXPECT_TRUE(fails(u"iif(err, 5, 6)"));
    // Nested, and as an operand on either side.
    EXPECT_EQ(eval(u"2*iif(iif(0,1,0),10,iif(1,3,err))+1"), 7);
    EXPECT_EQ(eval(u"iif(1,2,3)+iif(0,4,5)"), 7);
}

TEST_F(EngineTest, VariablesAndUserFunctions) {
    int params = -1;
    ASSERT_TRUE(engine.defineFunction(u"f(x,y)", u"x-y", params));
    EXPECT_EQ(params, 2);
    EXPECT_EQ(eval(u"f(5,3)"), 2);
    EXPECT_TRUE(fails(u"f(5)"));
    EXPECT_FALSE(engine.defineFunction(u"f(a,b)", u"a", params)); // exists
    EXPECT_TRUE(engine.defineFunction(u"F(a)", u"a*10", params)); // another count
    EXPECT_EQ(eval(u"f(2)+f(5,3)"), 22);

    EXPECT_FALSE(engine.defineFunction(u"sin(x)", u"x", params));
    EXPECT_FALSE(engine.defineFunction(u"iif(a,b)", u"a", params));
    EXPECT_TRUE(engine.setFunction(u"sin(x)", u"x", params));
    EXPECT_EQ(eval(u"sin(0)"), 0);                                    // still the built-in
    EXPECT_FALSE(engine.defineFunction(u"sin(a,b)", u"a+b", params)); // any built-in name
    EXPECT_TRUE(engine.setFunction(u"sin(a,b)", u"a+b", params));
    EXPECT_EQ(eval(u"sin(1,2)"), 3); // another argument count reaches definitions

    EXPECT_TRUE(engine.setVariable(u"x", 4));
    EXPECT_EQ(eval(u"x*x"), 16);
    EXPECT_EQ(eval(u"X!"), 24);
    EXPECT_EQ(eval(u"f(x,1)"), 3); // the parameter x hides the variable x
    EXPECT_TRUE(engine.setVariable(u"x", 5));
    EXPECT_EQ(eval(u"x"), 5);
    EXPECT_TRUE(engine.removeDefinition(u"x"));
    EXPECT_TRUE(fails(u"x*x"));
    EXPECT_FALSE(engine.removeDefinition(u"x"));
    EXPECT_TRUE(engine.removeDefinition(u"f(a,b)"));
    EXPECT_TRUE(fails(u"f(5,3)"));
    EXPECT_EQ(eval(u"f(1)"), 10);
    EXPECT_FALSE(engine.removeDefinition(u"1+"));

    EXPECT_FALSE(engine.setVariable(u"2x", 1));
    EXPECT_FALSE(engine.setVariable(u"f(a)", 1));
    EXPECT_FALSE(engine.defineFunction(u"g(a+1)", u"a", params));
    EXPECT_FALSE(engine.defineFunction(u"g(h(a))", u"a", params));
    EXPECT_FALSE(engine.defineFunction(u"g(a)", u"a+*", params));
    EXPECT_FALSE(engine.defineFunction(u"g(a)", u"", params));
}

TEST_F(EngineTest, DefinitionsSeeWhatIsDefinedWhenTheyRun) {
    int params;
    // A body ending in an operator is stored; calling it fails.
    ASSERT_TRUE(engine.defineFunction(u"broken(a)", u"a+", params));
    EXPECT_TRUE(fails(u"broken(1)"));
    // Bodies refer to other definitions by name.
    ASSERT_TRUE(engine.defineFunction(u"area(r)", u"pi*r^2*scale", params));
    EXPECT_TRUE(fails(u"area(1)"));
    ASSERT_TRUE(engine.setVariable(u"scale", 2));
    EXPECT_EQ(eval(u"area(1)"), 2 * std::acos(-1.0));
    // Parameters are numbered from the last: g(a,b,c) keeps their order.
    ASSERT_TRUE(engine.defineFunction(u"g(a,b,c)", u"a*100+b*10+c", params));
    EXPECT_EQ(eval(u"g(1,2,3)"), 123);
    EXPECT_EQ(eval(u"g(g(0,0,1),2,3)"), 123);
}

TEST_F(EngineTest, RecursionEndsAtALimit) {
    int params;
    ASSERT_TRUE(engine.defineFunction(u"fact(n)", u"iif(n<1, 1, n*fact(n-1))", params));
    EXPECT_EQ(eval(u"fact(10)"), 3628800);
    EXPECT_EQ(eval(u"fact(149)"), eval(u"149!"));
    ASSERT_TRUE(engine.defineFunction(u"forever(n)", u"forever(n+1)", params));
    EXPECT_TRUE(fails(u"forever(0)"));
    ASSERT_TRUE(engine.defineFunction(u"ping(n)", u"pong(n)+1", params));
    ASSERT_TRUE(engine.defineFunction(u"pong(n)", u"ping(n)*2", params));
    EXPECT_TRUE(fails(u"ping(1)"));
    ASSERT_TRUE(engine.defineFunction(u"loop", u"loop", params));
    EXPECT_TRUE(fails(u"loop"));
    // Exponential work ends too, at the limit on calls.
    ASSERT_TRUE(engine.defineFunction(u"fib(n)", u"iif(n<2, n, fib(n-1)+fib(n-2))", params));
    EXPECT_EQ(eval(u"fib(20)"), 6765);
    EXPECT_TRUE(fails(u"fib(60)"));
    // The engine is usable afterwards.
    EXPECT_EQ(eval(u"fact(3)"), 6);
}

TEST_F(EngineTest, HugeFormulasNeitherOverflowTheStackNorFail) {
    const size_t n = 100000;
    EXPECT_EQ(eval(std::u16string(n, u'(') + u"7" + std::u16string(n, u')')), 7);
    EXPECT_EQ(eval(std::u16string(n, u'-') + u"1"), 1); // an even count of negations
    EXPECT_EQ(eval(std::u16string(n + 1, u'-') + u"1"), -1);
    std::u16string sum = u"1";
    for (size_t i = 1; i < n; ++i) sum += u"+1";
    EXPECT_EQ(eval(sum), static_cast<double>(n));
    std::u16string power = u"1";
    for (size_t i = 1; i < n; ++i) power += u"^1";
    EXPECT_EQ(eval(power), 1);
    std::u16string calls;
    for (size_t i = 0; i < n; ++i) calls += u"abs(";
    calls += u"-2" + std::u16string(n, u')');
    EXPECT_EQ(eval(calls), 2);
}
