#pragma once

#include "calculator/user_functions.h"

namespace pq {
class ExpressionEngine;
}

namespace pq::calc {

// "ans" in formulas: the last result, an engine variable defined like the
// memories. A user function of no parameters named "ans" keeps the name:
// the variable is then not defined, and formulas call the function.
class LastAnswer {
  public:
    LastAnswer(ExpressionEngine& engine, const UserFunctionList& functions);

    // The new last result.
    void set(double value);
    double value() const { return value_; }
    // Defines "ans" as the last result unless a user function has the name.
    // Call it once the user functions are known, and after they change.
    void refresh();
    // Takes the variable away while the user edits the functions, so that a
    // new function may be named "ans"; refresh() brings it back.
    void release();
    // Whether "ans" is the user's own function.
    bool isUsersFunction() const;

  private:
    ExpressionEngine& engine_;
    const UserFunctionList& functions_;
    double value_ = 0;
    bool defined_ = false; // the variable is this object's
};

} // namespace pq::calc
