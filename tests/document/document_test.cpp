#include <gtest/gtest.h>

#include "document/document.h"

using namespace pq;

namespace {

struct ThreeUnits {
    ConversionDocument d;
    Item *a, *b, *c;
    ThreeUnits() {
        for (const char16_t* n : {u"A", u"B", u"C"}) {
            auto item = std::make_unique<UnitItem>();
            item->name = n;
            d.items.push_back(std::move(item));
        }
        a = d.items[0].get();
        b = d.items[1].get();
        c = d.items[2].get();
    }
    Conversion& join(Item* x, Item* y) {
        Conversion& conv = d.addConversion();
        conv.unit1 = x;
        conv.unit2 = y;
        return conv;
    }
};

} // namespace

TEST(Document, ConversionsBetweenUnits) {
    ThreeUnits t;
    Conversion& ab = t.join(t.a, t.b);
    Conversion& bc = t.join(t.b, t.c);
    Conversion& ca = t.join(t.c, t.a);
    EXPECT_EQ(t.d.findConversion(t.b, t.a), &ab);
    EXPECT_EQ(t.d.findConversion(t.a, t.c), &ca);
    EXPECT_EQ(t.d.findConversion(t.a, t.a), nullptr);
    EXPECT_EQ(t.d.countConversionsOf(t.b), 2);
    EXPECT_EQ(ab.text(), u"A <-> B");

    // Removing a unit takes its conversions along and keeps the others' order.
    Conversion& ab2 = t.join(t.a, t.b);
    t.d.currentItem = t.b;
    t.d.removeItem(t.b);
    ASSERT_EQ(t.d.items.size(), 2u);
    ASSERT_EQ(t.d.conversions.size(), 1u);
    EXPECT_EQ(t.d.conversions[0].get(), &ca);
    EXPECT_EQ(t.d.currentItem, nullptr); // never left pointing at a removed item
    (void)bc;
    (void)ab2;

    UnitItem stranger;
    t.d.removeItem(&stranger); // not in the list: nothing changes
    EXPECT_EQ(t.d.items.size(), 2u);
    t.d.removeConversion(&ca);
    EXPECT_TRUE(t.d.conversions.empty());
}

TEST(Document, CountsTextsAndDeletionQuestions) {
    ThreeUnits t;
    t.d.loaded = false;
    t.d.itemCount = 7;
    EXPECT_EQ(t.d.itemCountText(), u"7 units"); // from the header while not loaded
    t.d.loaded = true;
    EXPECT_EQ(t.d.itemCountText(), u"3 units");
    EXPECT_EQ(t.d.itemCount, 3);

    t.join(t.a, t.b);
    EXPECT_EQ(deleteConfirmationText(t.d, *t.a), u"Do you want to delete \"A\"?");
    t.join(t.a, t.c);
    EXPECT_EQ(deleteConfirmationText(t.d, *t.a),
              u"\"A\" has multiple direct conversion formulas attached to it. It may be used as a "
              u"bridge to convert between other units.\nDo you really want to delete?");
    CalculationDocument calc;
    EXPECT_EQ(deleteConfirmationText(calc, *t.a),
              u"\"A\" may be used to calculate other output values.\nDo you really want to "
              u"delete?");

    t.d.setUpdatedText(u"yesterday");
    EXPECT_EQ(t.d.updatedText, u"yesterday");
    t.d.setUpdatedText();
    EXPECT_NE(t.d.updatedText, u"yesterday");
    EXPECT_FALSE(t.d.updatedText.empty());

    EXPECT_EQ(t.d.extension(), u".cnv");
    EXPECT_EQ(calc.extension(), u".cal");
    t.d.name = u"Length";
    EXPECT_EQ(t.d.filePath(PlainFolder("/data")), "/data/Length.cnv");
    EXPECT_EQ(createItem(3), nullptr);
    EXPECT_EQ(createDocument(0), nullptr);
}

TEST(Document, ItemsCopyAndShowTheirValues) {
    CalcItem source;
    source.name = u"Total";
    source.role = Output;
    source.value = 1234.5;
    source.state = ValueState::Valid;
    source.shown = 0;
    source.index = 9;
    CalcItem copy;
    copy.copyFrom(source);
    EXPECT_EQ(copy.name, u"Total");
    EXPECT_TRUE(copy.isOutput());
    EXPECT_EQ(copy.shown, 1); // not copied
    EXPECT_EQ(copy.index, 0);
    EXPECT_EQ(copy.displayValue(), u"1,234.5");
    copy.state = ValueState::Error;
    EXPECT_EQ(copy.displayValue(), u"Error");
    copy.state = ValueState::Empty;
    EXPECT_EQ(copy.displayValue(), u"");
}
