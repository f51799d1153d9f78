#include "calculator/last_answer.h"

#include "engine/expression_engine.h"
#include "engine/text.h"

namespace pq::calc {

namespace {

constexpr char16_t kName[] = u"ans";

} // namespace

LastAnswer::LastAnswer(ExpressionEngine& engine, const UserFunctionList& functions)
    : engine_(engine), functions_(functions) {}

bool LastAnswer::isUsersFunction() const {
    for (const UserFunction& function : functions_) {
        std::u16string name;
        lowerAscii(CallName(function.declaration), name);
        if (function.paramCount == 0 && name == kName) return true;
    }
    return false;
}

void LastAnswer::set(double value) {
    value_ = value;
    refresh();
}

void LastAnswer::refresh() {
    if (isUsersFunction()) {
        defined_ = false;
        return;
    }
    defined_ = engine_.setVariable(kName, value_);
}

void LastAnswer::release() {
    if (defined_) engine_.removeDefinition(kName);
    defined_ = false;
}

} // namespace pq::calc
