#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTemporaryDir>

#include <cmath>

#include "converter/commands.h"
#include "converter/dialogs/add_conversion_dialog.h"
#include "converter/dialogs/conversions_dialog.h"
#include "converter/dialogs/unit_properties_dialog.h"
#include "document/catalogue.h"
#include "engine/expression_engine.h"
#include "engine/format_text.h"
#include "tests/converter/dialogs/dialog_test_support.h"

using namespace pq;
using namespace pq::conv;
using test::deliverPosted;
using Mode = ConversionFields::Mode;

namespace {

class ConversionsDialogTest : public ::testing::Test {
  protected:
    ConversionsDialogTest() {
        main.resize(240, 320);
        km = &test::addUnit(document, u"Kilometer", u"km");
        mile = &test::addUnit(document, u"Mile");
        celsius = &test::addUnit(document, u"Celsius", u"degC");
        fahrenheit = &test::addUnit(document, u"Fahrenheit", u"degF");
        kmMile = &test::addLinear(document, *km, *mile, 0.621371192237334);
        Conversion& temperature = document.addConversion();
        temperature.kind = Conversion::Formula;
        temperature.unit1 = celsius;
        temperature.unit2 = fahrenheit;
        temperature.forwardFormula = u"x*1.8+32";
        temperature.reverseFormula = u"(x-32)/1.8";
        degrees = &temperature;
    }

    std::unique_ptr<ConversionsDialog> open() {
        auto dialog = std::make_unique<ConversionsDialog>(&main, document, engine);
        dialog->show();
        deliverPosted();
        return dialog;
    }
    static QStringList entries(const ConversionsDialog& dialog) {
        QStringList texts;
        for (int row = 0; row < dialog.list()->count(); ++row)
            texts << dialog.list()->item(row)->text();
        return texts;
    }
    static void select(ConversionsDialog& dialog, const QString& text) {
        const auto found = dialog.list()->findItems(text, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1);
        dialog.list()->setCurrentItem(found.front());
        deliverPosted();
    }
    static bool editorsHidden(const ConversionsDialog& dialog) {
        return dialog.fields()->standardPanel()->isHidden() &&
               dialog.fields()->advancedPanel()->isHidden();
    }
    static void choose(QComboBox* list, const QString& name) {
        const int index = list->findText(name);
        ASSERT_GE(index, 0) << name.toStdString();
        list->setCurrentIndex(index);
    }

    QWidget main;
    ExpressionEngine engine;
    ConversionDocument document;
    Item* km;
    Item* mile;
    Item* celsius;
    Item* fahrenheit;
    Conversion* kmMile;
    Conversion* degrees;
};

} // namespace

TEST_F(ConversionsDialogTest, ListsSortedEntriesAndShowsTheEditorsOfTheSelection) {
    auto dialog = open();
    EXPECT_EQ(dialog->title(), QStringLiteral("Unit Conversions"));
    EXPECT_EQ(entries(*dialog), (QStringList{"degC <=> degF", "km <=> Mile"}));
    EXPECT_EQ(dialog->selectedConversion(), nullptr);
    EXPECT_TRUE(editorsHidden(*dialog));
    EXPECT_FALSE(ui::MenuBarButton(*dialog, kCmdDeleteConversion)->isEnabled());

    select(*dialog, QStringLiteral("km <=> Mile"));
    EXPECT_EQ(dialog->selectedConversion(), kmMile);
    EXPECT_FALSE(dialog->fields()->standardPanel()->isHidden());
    EXPECT_TRUE(dialog->fields()->advancedPanel()->isHidden());
    EXPECT_EQ(dialog->fields()->factorBox()->text(), ToQString(formatNumber(0.621371192237334)));
    EXPECT_EQ(dialog->fields()->offsetBox()->text(), QStringLiteral("0"));
    EXPECT_EQ(dialog->fields()->firstUnitLabel()->text(), QStringLiteral("1 km ~"));
    EXPECT_EQ(dialog->fields()->secondUnitLabel()->text(), QStringLiteral("Mile"));
    EXPECT_TRUE(ui::MenuBarButton(*dialog, kCmdDeleteConversion)->isEnabled());

    select(*dialog, QStringLiteral("degC <=> degF"));
    EXPECT_TRUE(dialog->fields()->standardPanel()->isHidden());
    EXPECT_FALSE(dialog->fields()->advancedPanel()->isHidden());
    EXPECT_EQ(dialog->fields()->forwardBox()->text(), QStringLiteral("x*1.8+32"));
    EXPECT_EQ(dialog->fields()->reverseBox()->text(), QStringLiteral("(x-32)/1.8"));

    dialog->list()->clearSelection();
    deliverPosted();
    EXPECT_TRUE(editorsHidden(*dialog));
    EXPECT_FALSE(ui::MenuBarButton(*dialog, kCmdDeleteConversion)->isEnabled());
}

TEST_F(ConversionsDialogTest, InPlaceEditsStoreWhatEvaluatesAndKeepTheRest) {
    auto dialog = open();
    select(*dialog, QStringLiteral("km <=> Mile"));
    QLineEdit* a = dialog->fields()->factorBox();
    QLineEdit* b = dialog->fields()->offsetBox();

    // Passing through the boxes without typing keeps every digit.
    a->setFocus();
    b->setFocus();
    emit a->editingFinished();
    EXPECT_EQ(kmMile->factor, 0.621371192237334);

    test::typeInto(a, QStringLiteral("1/3"));
    emit a->editingFinished();
    EXPECT_DOUBLE_EQ(kmMile->factor, 1.0 / 3.0);
    test::typeInto(a, QStringLiteral("2*"));
    emit a->editingFinished();
    EXPECT_DOUBLE_EQ(kmMile->factor, 1.0 / 3.0) << "a text that does not evaluate changes nothing";
    EXPECT_TRUE(a->property("invalid").toBool()) << "but the box shows it was not taken";
    EXPECT_EQ(test::takeMessage(*dialog), QString()) << "quietly";
    test::typeInto(b, QStringLiteral("-4.5"));
    emit b->editingFinished();
    EXPECT_EQ(kmMile->offset, -4.5);

    // Done while the cursor is still in the Reverse box keeps what was typed.
    select(*dialog, QStringLiteral("degC <=> degF"));
    test::typeInto(dialog->fields()->forwardBox(), QStringLiteral("x*9/5+32"));
    test::typeInto(dialog->fields()->reverseBox(), QStringLiteral("(x-32)*5/9"));
    EXPECT_EQ(degrees->forwardFormula, u"x*9/5+32") << "leaving the box stored it";
    EXPECT_EQ(degrees->reverseFormula, u"(x-32)/1.8");
    EXPECT_TRUE(test::tapBar(*dialog, ui::kOkCommand));
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(degrees->reverseFormula, u"(x-32)*5/9");
    EXPECT_TRUE(degrees->isLinear() == false && kmMile->isLinear());
}

TEST_F(ConversionsDialogTest, FormulaEditsAreStoredAsTypedEvenWhenTheyDoNotParse) {
    auto dialog = open();
    select(*dialog, QStringLiteral("degC <=> degF"));
    QLineEdit* forward = dialog->fields()->forwardBox();
    test::typeInto(forward, QStringLiteral("x*1.8+"));
    emit forward->editingFinished();
    EXPECT_EQ(degrees->forwardFormula, u"x*1.8+");
    EXPECT_TRUE(forward->property("invalid").toBool());
    test::typeInto(forward, QStringLiteral("x*1.8+32"));
    emit forward->editingFinished();
    EXPECT_FALSE(forward->property("invalid").toBool());
}

TEST_F(ConversionsDialogTest, DeleteAsksFirstAndDeletingTheLastLeavesNothingToEdit) {
    auto dialog = open();
    select(*dialog, QStringLiteral("km <=> Mile"));
    {
        test::Answers no(false);
        EXPECT_TRUE(test::tapBar(*dialog, kCmdDeleteConversion));
        ASSERT_EQ(no.asked.size(), 1u);
        EXPECT_EQ(no.asked[0].title, QStringLiteral("Delete"));
        EXPECT_EQ(no.asked[0].text,
                  QStringLiteral(
                      "Delete the selected conversion? Values are no longer computed through it."));
        EXPECT_EQ(no.asked[0].icon, ui::MessageIcon::Question);
    }
    EXPECT_EQ(document.conversions.size(), 2u);
    EXPECT_EQ(dialog->list()->count(), 2);

    test::Answers yes(true);
    EXPECT_TRUE(test::tapBar(*dialog, kCmdDeleteConversion));
    ASSERT_EQ(document.conversions.size(), 1u);
    EXPECT_EQ(document.conversions[0].get(), degrees);
    EXPECT_EQ(entries(*dialog), QStringList{"degC <=> degF"});
    EXPECT_TRUE(editorsHidden(*dialog));
    EXPECT_EQ(document.items.size(), 4u) << "the units stay";

    select(*dialog, QStringLiteral("degC <=> degF"));
    EXPECT_TRUE(test::tapBar(*dialog, kCmdDeleteConversion));
    EXPECT_TRUE(document.conversions.empty());
    EXPECT_EQ(dialog->list()->count(), 0);
    EXPECT_TRUE(editorsHidden(*dialog));
    EXPECT_EQ(yes.asked.size(), 2u);
    EXPECT_FALSE(test::tapBar(*dialog, kCmdDeleteConversion)) << "nothing selected";
}

TEST_F(ConversionsDialogTest, AddRefusesInTheOrderOfItsChecks) {
    auto dialog = open();
    EXPECT_TRUE(test::tapBar(*dialog, kCmdAddStandard));
    AddConversionDialog* add = dialog->addDialog();
    ASSERT_NE(add, nullptr);
    EXPECT_EQ(add->title(), QStringLiteral("Add Conversion"));
    EXPECT_EQ(add->mode(), Mode::Standard);
    ASSERT_EQ(add->fromList()->count(), 4);
    EXPECT_EQ(add->fromList()->itemText(0), QStringLiteral("Celsius")) << "by name, sorted";
    EXPECT_EQ(add->fromList()->itemText(3), QStringLiteral("Mile"));
    EXPECT_EQ(add->fields()->factorBox()->text(), QStringLiteral("0"));

    QString title;
    test::typeInto(add->fields()->factorBox(), QStringLiteral("twelve"));
    EXPECT_TRUE(test::tapBar(*add, ui::kOkCommand));
    EXPECT_EQ(
        test::takeMessage(*add, &title),
        QStringLiteral("Type a number, or a formula that gives one, such as 0.3048 or 1/12."));
    EXPECT_EQ(title, QStringLiteral("Add Conversion"));
    test::typeInto(add->fields()->factorBox(), QStringLiteral("1000"));
    EXPECT_TRUE(test::tapBar(*add, ui::kOkCommand));
    EXPECT_EQ(test::takeMessage(*add),
              QStringLiteral("Choose the unit to convert from in the first list."));
    choose(add->fromList(), QStringLiteral("Kilometer"));
    EXPECT_TRUE(test::tapBar(*add, ui::kOkCommand));
    EXPECT_EQ(test::takeMessage(*add),
              QStringLiteral("Choose the unit to convert to in the second list."));
    choose(add->toList(), QStringLiteral("Kilometer"));
    EXPECT_TRUE(test::tapBar(*add, ui::kOkCommand));
    EXPECT_TRUE(
        test::takeMessage(*add).startsWith(QStringLiteral("A unit cannot be converted to itself")));
    choose(add->toList(), QStringLiteral("Mile"));
    EXPECT_TRUE(test::tapBar(*add, ui::kOkCommand));
    EXPECT_TRUE(test::takeMessage(*add).startsWith(
        QStringLiteral("These two units have a conversion already")));
    EXPECT_TRUE(add->isVisible());
    EXPECT_EQ(document.conversions.size(), 2u);
    EXPECT_TRUE(test::tapBar(*add, ui::kCancelCommand));
    deliverPosted();
    EXPECT_EQ(dialog->addDialog(), nullptr);
    EXPECT_EQ(document.conversions.size(), 2u) << "Cancel adds nothing";

    EXPECT_TRUE(test::tapBar(*dialog, kCmdAddAdvanced));
    add = dialog->addDialog();
    ASSERT_NE(add, nullptr);
    EXPECT_EQ(add->mode(), Mode::Advanced);
    choose(add->fromList(), QStringLiteral("Kilometer"));
    choose(add->toList(), QStringLiteral("Celsius"));
    EXPECT_TRUE(test::tapBar(*add, ui::kOkCommand));
    EXPECT_EQ(test::takeMessage(*add),
              QStringLiteral("Type the forward formula, in x: for example x*1000."));
    test::typeInto(add->fields()->forwardBox(), QStringLiteral("x*("));
    EXPECT_TRUE(test::tapBar(*add, ui::kOkCommand));
    EXPECT_NE(test::takeMessage(*add).indexOf("forward formula"), -1);
    test::typeInto(add->fields()->forwardBox(), QStringLiteral("x*2"));
    test::typeInto(add->fields()->reverseBox(), QStringLiteral("x/"));
    EXPECT_TRUE(test::tapBar(*add, ui::kOkCommand));
    EXPECT_NE(test::takeMessage(*add).indexOf("reverse formula"), -1);
    EXPECT_EQ(document.conversions.size(), 2u);
}

// A unit, a linear and a formula conversion made through the dialogs survive
// a save and give the recomputed values after the file is read again.
TEST_F(ConversionsDialogTest, AddedUnitsAndConversionsReachTheFileAndCompute) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    ConversionDocument& made = document;
    made.name = u"Mine";
    made.title = u"Mine";

    auto metre = createItem(1);
    {
        UnitPropertiesDialog unit(&main, *metre, &made);
        unit.show();
        test::typeInto(unit.nameBox(), QStringLiteral("Metre"));
        test::typeInto(unit.identifierBox(), QStringLiteral("m"));
        EXPECT_TRUE(test::tapBar(unit, ui::kOkCommand));
        EXPECT_EQ(unit.result(), QDialog::Accepted);
    }
    made.items.push_back(std::move(metre));

    auto dialog = open();
    EXPECT_TRUE(test::tapBar(*dialog, kCmdAddStandard));
    AddConversionDialog* add = dialog->addDialog();
    ASSERT_NE(add, nullptr);
    choose(add->fromList(), QStringLiteral("Kilometer"));
    choose(add->toList(), QStringLiteral("Metre"));
    EXPECT_EQ(add->fields()->firstUnitLabel()->text(), QStringLiteral("1 km ="));
    EXPECT_EQ(add->fields()->secondUnitLabel()->text(), QStringLiteral("m"));
    test::typeInto(add->fields()->factorBox(), QStringLiteral("1e3"));
    EXPECT_TRUE(test::tapBar(*add, ui::kOkCommand));
    EXPECT_EQ(test::takeMessage(*add), QString());
    deliverPosted();
    ASSERT_EQ(made.conversions.size(), 3u);
    EXPECT_EQ(dialog->list()->currentItem()->text(), QStringLiteral("km <=> m"));
    EXPECT_EQ(dialog->selectedConversion(), made.conversions[2].get()) << "the new one is selected";
    EXPECT_EQ(dialog->fields()->factorBox()->text(), QStringLiteral("1000"));

    EXPECT_TRUE(test::tapBar(*dialog, kCmdAddAdvanced));
    add = dialog->addDialog();
    choose(add->fromList(), QStringLiteral("Fahrenheit"));
    choose(add->toList(), QStringLiteral("Metre"));
    test::typeInto(add->fields()->forwardBox(), QStringLiteral("x*2+1"));
    test::typeInto(add->fields()->reverseBox(), QStringLiteral("(x-1)/2"));
    EXPECT_TRUE(test::tapBar(*add, ui::kOkCommand));
    deliverPosted();
    ASSERT_EQ(made.conversions.size(), 4u);
    EXPECT_EQ(entries(*dialog),
              (QStringList{"degC <=> degF", "degF <=> m", "km <=> m", "km <=> Mile"}));
    EXPECT_TRUE(test::tapBar(*dialog, ui::kOkCommand));
    ASSERT_TRUE(made.saveTo(folder.filePath(QStringLiteral("Mine.cnv")).toStdString()));

    Catalogue catalogue(engine);
    catalogue.setFolder(folder.path().toStdString());
    ASSERT_EQ(catalogue.addFile(u"Mine.cnv"), 0);
    auto* read = dynamic_cast<ConversionDocument*>(catalogue.current(0));
    ASSERT_NE(read, nullptr);
    ASSERT_EQ(read->items.size(), 5u);
    ASSERT_EQ(read->conversions.size(), 4u);
    Item& readKm = *read->items[0];
    readKm.value = 2;
    readKm.state = ValueState::Valid;
    read->currentItem = &readKm;
    read->computeAll(engine);
    const auto valueOf = [&](std::u16string_view name) {
        for (const auto& item : read->items)
            if (item->name == name && item->state == ValueState::Valid) return item->value;
        return std::nan("");
    };
    EXPECT_DOUBLE_EQ(valueOf(u"Metre"), 2000);
    EXPECT_DOUBLE_EQ(valueOf(u"Fahrenheit"), 999.5) << "through the reverse formula";
    EXPECT_DOUBLE_EQ(valueOf(u"Celsius"), (999.5 - 32) / 1.8);
    EXPECT_DOUBLE_EQ(valueOf(u"Mile"), 2 * 0.621371192237334);
}
