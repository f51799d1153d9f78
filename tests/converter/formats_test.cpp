#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QMenu>

#include "converter/commands.h"
#include "converter/list/format_menu.h"
#include "converter/list/formats_dialog.h"
#include "converter/list/unit_list_view.h"
#include "document/document.h"
#include "document/item.h"
#include "tests/uikit/test_support.h"
#include "uikit/message_box.h"

using namespace pq;
using namespace pq::conv;

TEST(FormatMenuTest, ListsTheAllowedFormatsInMenuOrder) {
    NumberFormat format;
    const auto decimalOnly = FormatMenuEntries(format);
    ASSERT_EQ(decimalOnly.size(), 1u);
    EXPECT_EQ(decimalOnly[0].text, QStringLiteral("Default (decimal)"));
    EXPECT_TRUE(decimalOnly[0].checked);

    QObject target;
    std::unique_ptr<QMenu> menu(CreateFormatMenu(nullptr, format, &target, 0));
    ASSERT_EQ(menu->actions().size(), 3);
    EXPECT_TRUE(menu->actions()[0]->isChecked());
    EXPECT_TRUE(menu->actions()[1]->isSeparator());
    EXPECT_EQ(menu->actions()[2]->text(), QStringLiteral("Customi&ze..."));

    format.setAllowedFormats(Compound | Hex | Decimal | DateTime | Currency);
    format.displayFormat = Hex;
    QStringList texts;
    for (const auto& entry : FormatMenuEntries(format))
        texts << entry.text + (entry.checked ? QStringLiteral("*") : QString());
    EXPECT_EQ(texts, (QStringList{"Default (decimal)", "Currency", "Hexadecimal*", "Date Time",
                                  "Compound"}));
    EXPECT_EQ(FormatForCommand(kCmdFormatDateTime), DateTime);
    EXPECT_EQ(FormatForCommand(kCmdFormatCustomize), 0);
}

TEST(FormatMenuTest, AFormatChoiceChangesOnlyTheDisplay) {
    QWidget window;
    UnitListView list(&window, nullptr, nullptr);
    list.setGeometry(0, 0, 240, 200);
    ConversionDocument document;
    document.items.push_back(createItem(UnitItem::kTypeCode));
    Item& item = *document.items[0];
    item.format.setAllowedFormats(Decimal | Hex);
    item.value = 255;
    item.state = ValueState::Valid;
    list.load(&document);
    EXPECT_EQ(list.row(0).valueLabel().text(), QStringLiteral("255"));
    EXPECT_EQ(UnitRow::formatIconId(item.format.displayFormat), 158);

    list.formatChosen(0, kCmdFormatHexadecimal);
    EXPECT_EQ(item.format.displayFormat, Hex);
    EXPECT_EQ(item.format.entryFormat, Decimal);
    EXPECT_EQ(item.value, 255);
    EXPECT_EQ(item.state, ValueState::Valid);
    EXPECT_EQ(list.row(0).valueLabel().text(), QString::fromStdU16String(item.displayValue()));
    EXPECT_NE(list.row(0).valueLabel().text(), QStringLiteral("255"));
    EXPECT_EQ(UnitRow::formatIconId(item.format.displayFormat), 159);

    // A format the item does not allow is not taken.
    list.formatChosen(0, kCmdFormatBinary);
    EXPECT_EQ(item.format.displayFormat, Hex);
    // Posted by the menu, the choice arrives the same way.
    pq::ui::PostCommand(&list, kCmdFormatDecimal, 0);
    pq::test::deliverPosted();
    EXPECT_EQ(item.format.displayFormat, Decimal);
}

TEST(FormatsDialogTest, UncheckingEverythingLeavesDecimalOnly) {
    NumberFormat format;
    format.setAllowedFormats(Decimal | Hex | Date);
    format.displayFormat = Date;
    FormatsDialog dialog(nullptr, format);
    EXPECT_TRUE(dialog.checkBox(Hex)->isChecked());
    EXPECT_FALSE(dialog.checkBox(Octal)->isChecked());
    EXPECT_FALSE(dialog.fractionBox(1)->isEnabled()); // no compound
    for (int32_t code : kFormatCodes) dialog.checkBox(code)->setChecked(false);
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(format.allowedFormats, Decimal);
    EXPECT_EQ(format.displayFormat, Decimal);
}

TEST(FormatsDialogTest, DateAndDateTimeExcludeEachOther) {
    NumberFormat format;
    FormatsDialog dialog(nullptr, format);
    dialog.checkBox(DateTime)->click();
    dialog.checkBox(Date)->click();
    EXPECT_TRUE(dialog.checkBox(Date)->isChecked());
    EXPECT_FALSE(dialog.checkBox(DateTime)->isChecked());
    dialog.checkBox(DateTime)->click();
    EXPECT_FALSE(dialog.checkBox(Date)->isChecked());
}

TEST(FormatsDialogTest, CompoundPartsEndAtTheFirstZeroFraction) {
    NumberFormat format;
    FormatsDialog dialog(nullptr, format);
    dialog.checkBox(Compound)->click();
    EXPECT_TRUE(dialog.labelBox(0)->isEnabled());
    EXPECT_TRUE(dialog.fractionBox(0)->isReadOnly());
    EXPECT_EQ(dialog.fractionBox(0)->text(), QStringLiteral("1"));
    dialog.labelBox(0)->setText(QStringLiteral("ft"));
    dialog.labelBox(1)->setText(QStringLiteral("in"));
    dialog.fractionBox(1)->setText(QStringLiteral("12"));
    dialog.fractionBox(2)->setText(QStringLiteral("0"));
    dialog.fractionBox(3)->setText(QStringLiteral("0"));
    dialog.accept();
    ASSERT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(format.allows(Compound));
    EXPECT_EQ(format.partCount(), 2);
    std::array<double, NumberFormat::kMaxParts> fractions{};
    format.getFractions(fractions);
    EXPECT_EQ(fractions[1], 12);

    // Opened again, the dialog shows the parts.
    FormatsDialog again(nullptr, format);
    EXPECT_TRUE(again.checkBox(Compound)->isChecked());
    EXPECT_EQ(again.labelBox(1)->text(), QStringLiteral("in"));
    EXPECT_EQ(again.fractionBox(1)->text(), QStringLiteral("12"));
    EXPECT_EQ(again.fractionBox(2)->text(), QStringLiteral("0"));
}

TEST(FormatsDialogTest, FractionsOutsideTheirRangeKeepTheDialogOpen) {
    std::vector<pq::ui::MessageRequest> messages;
    pq::ui::SetMessageResponder([&](const pq::ui::MessageRequest& request) {
        messages.push_back(request);
        return false;
    });
    for (const char* bad : {"-1", "1e21", "twelve", ""}) {
        NumberFormat format;
        FormatsDialog dialog(nullptr, format);
        dialog.checkBox(Compound)->click();
        dialog.checkBox(Hex)->setChecked(true);
        dialog.fractionBox(1)->setText(QString::fromUtf8(bad));
        dialog.accept();
        EXPECT_NE(dialog.result(), QDialog::Accepted) << bad;
        EXPECT_FALSE(format.allows(Hex)) << bad; // nothing written
    }
    EXPECT_EQ(messages.size(), 4u);
    NumberFormat format;
    FormatsDialog dialog(nullptr, format);
    dialog.checkBox(Compound)->click();
    dialog.fractionBox(1)->setText(QStringLiteral("1e20"));
    EXPECT_TRUE(dialog.validate().isEmpty());
    dialog.labelBox(0)->setText(QStringLiteral("123456789"));
    EXPECT_NE(dialog.validate().indexOf("123456789"), -1);
    dialog.labelBox(0)->setText(QString());
    dialog.labelBox(2)->setText(QStringLiteral("a third label of any length"));
    EXPECT_TRUE(dialog.validate().isEmpty());
    pq::ui::SetMessageResponder({});
}

TEST(FormatsDialogTest, ALongStoredLabelIsKeptWholeAndRefusedAtOk) {
    std::vector<pq::ui::MessageRequest> messages;
    pq::ui::SetMessageResponder([&](const pq::ui::MessageRequest& request) {
        messages.push_back(request);
        return false;
    });
    NumberFormat format;
    format.setAllowedFormats(Decimal | Compound);
    format.labels[0] = u"kilometres";
    format.labels[1] = u"m";
    format.fractions = {1, 1000, 0, 0};
    {
        FormatsDialog dialog(nullptr, format);
        EXPECT_EQ(dialog.labelBox(0)->text(), QStringLiteral("kilometres")) << "nothing is cut";
        dialog.accept();
        EXPECT_NE(dialog.result(), QDialog::Accepted);
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_NE(messages[0].text.indexOf("kilometres"), -1);
        EXPECT_EQ(format.labels[0], u"kilometres");
        // Shortened, it is taken.
        dialog.labelBox(0)->setText(QStringLiteral("km"));
        dialog.accept();
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
    }
    EXPECT_EQ(format.labels[0], u"km");
    pq::ui::SetMessageResponder({});
}
