#include <gtest/gtest.h>

#include <QMenu>

#include "calculator/function_menu.h"

using namespace pq::calc;

namespace {

UserFunction function(const char16_t* declaration, const char16_t* name, int parameters) {
    return {declaration, u"x", name, parameters, false};
}

QStringList texts(const FunctionMenu::Node& node) {
    QStringList out;
    for (const FunctionMenu::Node* sub : node.listedSubmenus()) out << sub->text + u'>';
    for (const FunctionMenu::Item& item : node.items) out << item.text;
    return out;
}

} // namespace

TEST(FunctionMenuTest, StandardViewListsOneParameterFunctionsByTheirPath) {
    const UserFunctionList list = {
        function(u"MyFunction(x)", u"My Category\\My Function Name", 1),
        function(u"Hyp(a,b)", u"Geometry\\Hyp", 2),
        function(u"top(x)", u"Top", 1),
        function(u"deep(x)", u"My Category\\Inner\\Deep", 1),
    };
    const FunctionMenu standard(list, true, 2500);
    EXPECT_EQ(texts(standard.root()), (QStringList{"My Category>", "Top"}))
        << "the two-parameter function is left out";
    const FunctionMenu::Node* category = standard.root().listedSubmenus()[0];
    EXPECT_EQ(texts(*category), (QStringList{"Inner>", "My Function Name"}));
    EXPECT_EQ(category->items[0].command, 2500u);
    EXPECT_EQ(standard.root().items[0].command, 2502u);

    const FunctionMenu scientific(list, false, 2500);
    EXPECT_EQ(texts(scientific.root()), (QStringList{"Geometry>", "My Category>", "top(x)"}))
        << "G and M share a group of 16 codes: the later-created comes first";
    EXPECT_EQ(texts(*scientific.root().listedSubmenus()[0]), (QStringList{"Hyp(a,b)"}));
    const UserFunctionList apart = {function(u"p(x)", u"zeta\\P", 1),
                                    function(u"q(x)", u"Alpha\\Q", 1)};
    EXPECT_EQ(texts(FunctionMenu(apart, true, 2500).root()), (QStringList{"Alpha>", "zeta>"}))
        << "groups in ascending order";

    QMenu menu;
    scientific.fill(&menu, &menu);
    ASSERT_EQ(menu.actions().size(), 3);
    EXPECT_NE(menu.actions()[0]->menu(), nullptr);
}

TEST(FunctionMenuTest, EmptyPartsOfANamePathArePassedOver) {
    const UserFunctionList list = {
        function(u"a(x)", u"\\Lead\\\\A\\", 1),
        function(u"b(x)", u"", 1),
        function(u"c(x)", u"\\\\", 1),
    };
    const FunctionMenu menu(list, true, 2500);
    EXPECT_EQ(texts(menu.root()), (QStringList{"Lead>", "(unnamed)", "(unnamed)"}));
    EXPECT_EQ(texts(*menu.root().listedSubmenus()[0]), (QStringList{"A"}));
}
