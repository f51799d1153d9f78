#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>

#include "converter/dialogs/show_hide_dialog.h"
#include "converter/dialogs/unit_properties_dialog.h"
#include "tests/converter/dialogs/dialog_test_support.h"

using namespace pq;
using namespace pq::conv;

TEST(UnitPropertiesDialog, NewUnitThenUnitPropertiesAndOnlyAnEmptyNameRefused) {
    QWidget main;
    main.resize(240, 320);
    ConversionDocument document;
    test::addUnit(document, u"Kilometer", u"km");
    auto item = createItem(1);
    {
        UnitPropertiesDialog dialog(&main, *item, &document);
        dialog.show();
        EXPECT_EQ(dialog.title(), QStringLiteral("New Unit"));
        EXPECT_TRUE(dialog.typeList()->isHidden() && dialog.typeLabel()->isHidden())
            << "a unit has no type";
        EXPECT_TRUE(test::tapBar(dialog, ui::kOkCommand));
        QString title;
        EXPECT_EQ(test::takeMessage(dialog, &title),
                  QStringLiteral("Type a name for the unit: it is what the list shows."));
        // The value text says what it is for.
        EXPECT_EQ(dialog.valueLabel()->text(), QStringLiteral("&Default value:"));
        EXPECT_TRUE(dialog.valueNote()->text().contains(QStringLiteral("default button")));
        EXPECT_EQ(title, QStringLiteral("Edit Unit"));
        EXPECT_TRUE(dialog.isVisible());

        test::typeInto(dialog.nameBox(), QStringLiteral("   "));
        test::typeInto(dialog.identifierBox(), QStringLiteral("KM"));
        test::typeInto(dialog.valueBox(), QStringLiteral("1/4"));
        EXPECT_TRUE(test::tapBar(dialog, ui::kOkCommand));
        EXPECT_NE(test::takeMessage(dialog).indexOf("already used by \"Kilometer\""), -1);
        EXPECT_TRUE(item->name.empty()) << "nothing is stored before every check passed";
        test::typeInto(dialog.identifierBox(), QStringLiteral("m "));
        EXPECT_TRUE(test::tapBar(dialog, ui::kOkCommand));
        EXPECT_NE(test::takeMessage(dialog).indexOf("ends with a space"), -1);
        test::typeInto(dialog.identifierBox(), QStringLiteral("m"));
        EXPECT_TRUE(test::tapBar(dialog, ui::kOkCommand));
        EXPECT_EQ(test::takeMessage(dialog), QString());
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
    }
    EXPECT_EQ(item->name, u"   ") << "a name of spaces is a name";
    EXPECT_EQ(item->identifier, u"m");
    EXPECT_EQ(item->valueText, u"1/4");

    UnitPropertiesDialog again(&main, *item, &document);
    EXPECT_EQ(again.title(), QStringLiteral("Unit Properties"));
    EXPECT_EQ(again.nameBox()->text(), QStringLiteral("   "));
    EXPECT_EQ(again.nameBox()->maxLength(), 127);
    again.show();
    test::typeInto(again.nameBox(), QStringLiteral("Metre"));
    test::typeInto(again.identifierBox(), QStringLiteral("km"));
    EXPECT_TRUE(test::tapBar(again, ui::kCancelCommand));
    EXPECT_EQ(again.result(), QDialog::Rejected);
    EXPECT_EQ(item->name, u"   ") << "Cancel stores nothing";
    EXPECT_EQ(item->identifier, u"m");
}

TEST(UnitPropertiesDialog, CalculationItemsChooseTheirRole) {
    QWidget main;
    main.resize(240, 320);
    CalculationDocument document;
    Item& bill = test::addUnit(document, u"Bill", u"bill");
    UnitPropertiesDialog dialog(&main, bill, &document);
    dialog.show();
    EXPECT_EQ(dialog.title(), QStringLiteral("Unit Properties"));
    ASSERT_FALSE(dialog.typeList()->isHidden());
    EXPECT_EQ(dialog.typeList()->count(), 2);
    EXPECT_EQ(dialog.typeList()->itemText(0), QStringLiteral("Input"));
    EXPECT_EQ(dialog.typeList()->itemText(1), QStringLiteral("Output"));
    EXPECT_EQ(dialog.typeList()->currentIndex(), 0);
    EXPECT_EQ(dialog.valueLabel()->text(), QStringLiteral("&Default value:"));
    dialog.typeList()->setCurrentIndex(1);
    EXPECT_EQ(dialog.valueLabel()->text(), QStringLiteral("&Formula:")) << "an output's formula";
    test::typeInto(dialog.valueBox(), QStringLiteral("bill*1.15"));
    QTest::keyClick(dialog.valueBox(), Qt::Key_Return);
    pq::test::deliverPosted();
    EXPECT_EQ(dialog.result(), QDialog::Accepted) << "Enter is OK";
    EXPECT_TRUE(bill.isOutput());
    EXPECT_EQ(bill.identifier, u"bill") << "an unchanged identifier is its own";
    EXPECT_EQ(bill.valueText, u"bill*1.15");
}

TEST(ShowHideDialog, ChecksFollowTheShownFlagsAndOkWritesThemBack) {
    QWidget main;
    main.resize(240, 320);
    ConversionDocument document;
    test::addUnit(document, u"metre");
    test::addUnit(document, u"Kilometer").shown = 0;
    test::addUnit(document, u"Centimetre");
    {
        ShowHideDialog dialog(&main, document);
        dialog.show();
        EXPECT_EQ(dialog.title(), QStringLiteral("Show or Hide Units"));
        QListWidget* list = dialog.list();
        ASSERT_EQ(list->count(), 3);
        EXPECT_EQ(list->item(0)->text(), QStringLiteral("Centimetre"));
        EXPECT_EQ(list->item(1)->text(), QStringLiteral("Kilometer"));
        EXPECT_EQ(list->item(2)->text(), QStringLiteral("metre"));
        EXPECT_EQ(list->item(1)->checkState(), Qt::Unchecked);
        for (int row = 0; row < list->count(); ++row) list->item(row)->setCheckState(Qt::Unchecked);
        EXPECT_TRUE(test::tapBar(dialog, ui::kCancelCommand));
        for (const auto& item : document.items)
            EXPECT_EQ(item->shown, item->name == u"Kilometer" ? 0 : 1);
    }
    ShowHideDialog dialog(&main, document);
    dialog.show();
    for (int row = 0; row < dialog.list()->count(); ++row)
        dialog.list()->item(row)->setCheckState(Qt::Unchecked);
    EXPECT_TRUE(test::tapBar(dialog, ui::kOkCommand));
    for (const auto& item : document.items) EXPECT_EQ(item->shown, 0);
    ASSERT_EQ(document.items.size(), 3u) << "hiding removes nothing";
}
