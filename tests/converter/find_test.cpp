// Finding a unit from the main window, with the keys a user presses.

#include <gtest/gtest.h>

#include <cmath>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QTest>

#include "converter/commands.h"
#include "converter/document_saver.h"
#include "converter/entry/value_entry_panel.h"
#include "converter/find/find_box.h"
#include "converter/find/index_runner.h"
#include "converter/find/unit_finder.h"
#include "converter/list/unit_list_view.h"
#include "document/item.h"
#include "tests/converter/converter_fixture.h"
#include "tests/uikit/test_support.h"
#include "uikit/message_box.h"

using namespace pq;
using namespace pq::conv;
using pq::test::ConverterWorld;
using pq::test::deliverPosted;
using pq::test::waitFor;

namespace {

const QStringList kFiles = {"AlternativeNames.txt", "Currency.cnv", "Length.cnv", "Speed.cnv",
                            "Temperature.cnv",      "Angle.cnv",    "Weight.cnv"};

QString fileName(const Document* document) {
    return document ? QString::fromStdU16String(document->fileNameWithExtension()) : QString();
}

QString identifier(const Item* item) {
    return item ? QString::fromStdU16String(std::u16string(item->identifier.view())) : QString();
}

// A window on a data folder of its own, shown and active, its index built.
struct Window {
    explicit Window(ConverterWorld& world, const std::u16string& first = u"Currency.cnv") {
        world.writeSettings({first});
        frame = world.open();
        frame->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
        frame->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(frame.get()));
        EXPECT_TRUE(waitFor([this] { return finder().runner().index()->built(); }));
    }

    UnitFinder& finder() const { return *frame->finder(); }
    FindBox& box() const { return *finder().box(); }
    // Keys go where the keyboard focus is, as they do for a user.
    static QWidget* focus() { return QApplication::focusWidget(); }
    static void key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(focus(), static_cast<Qt::Key>(key), modifiers);
        deliverPosted();
    }
    static void type(const QString& text) {
        for (const QChar c : text) QTest::keyClicks(focus(), QString(c));
        deliverPosted();
    }

    std::unique_ptr<CPqConvFrame> frame;
};

} // namespace

TEST(FindUnitTest, CtrlFANameAndEnterSelectTheUnitReadyForAValue) {
    ConverterWorld world;
    world.seed(kFiles);
    Window window(world);
    ASSERT_EQ(fileName(window.frame->document()), QStringLiteral("Currency.cnv"));

    Window::key(Qt::Key_F, Qt::ControlModifier);
    ASSERT_TRUE(window.finder().isOpen());
    EXPECT_EQ(Window::focus(), window.box().line());
    // The box lies over the list, below the file switcher.
    EXPECT_EQ(window.box().geometry().top(), window.frame->list()->geometry().top());

    Window::type(QStringLiteral("mph"));
    ASSERT_FALSE(window.box().units().isEmpty());
    EXPECT_EQ(window.box().units().front().identifier, QStringLiteral("mph"));
    EXPECT_EQ(window.box().units().front().fileTitle, QStringLiteral("Speed"));

    Window::key(Qt::Key_Return);
    EXPECT_FALSE(window.finder().isOpen());
    ASSERT_EQ(fileName(window.frame->document()), QStringLiteral("Speed.cnv"));
    EXPECT_EQ(identifier(window.frame->document()->currentItem), QStringLiteral("mph"));
    EXPECT_TRUE(window.frame->panel()->isAncestorOf(Window::focus()));

    // The value typed next is for mph, and km/h follows from it.
    Window::type(QStringLiteral("60"));
    Window::key(Qt::Key_Return);
    const UnitListView& list = *window.frame->list();
    ASSERT_GT(list.rowCount(), 0);
    EXPECT_EQ(identifier(&list.row(0).item()), QStringLiteral("km_h"));
    EXPECT_EQ(list.row(0).valueLabel().text(), QStringLiteral("96.56064"));
}

TEST(FindUnitTest, FromAnyFileTheUnitIsFoundInItsFileEvenWhenHidden) {
    const struct {
        const char16_t* start;
        const char* text;
        const char* file;
        const char* unit;
    } cases[] = {
        {u"Currency.cnv", "kph", "Speed.cnv", "km_h"},         // a file not opened yet
        {u"Speed.cnv", "kph", "Speed.cnv", "km_h"},            // the file open now
        {u"Length.cnv", "degf", "Temperature.cnv", "degF"},    // the identifier
        {u"Weight.cnv", "milliradian", "Angle.cnv", "mrad"},   // hidden in its file
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        ConverterWorld world;
        world.seed(kFiles);
        Window window(world, c.start);
        Window::key(Qt::Key_F, Qt::ControlModifier);
        Window::type(QString::fromLatin1(c.text));
        Window::key(Qt::Key_Enter);
        EXPECT_EQ(fileName(window.frame->document()), QString::fromLatin1(c.file));
        const Item* item = window.frame->document()->currentItem;
        EXPECT_EQ(identifier(item), QString::fromLatin1(c.unit));
        ASSERT_NE(item, nullptr);
        EXPECT_TRUE(item->shown);
        const UnitListView& list = *window.frame->list();
        EXPECT_EQ(&list.row(list.selected()).item(), item);
    }
}

TEST(FindUnitTest, ALetterTypedIntoTheListStartsFindingAndEscapeLeavesAllAsItWas) {
    ConverterWorld world;
    world.seed(kFiles);
    Window window(world, u"Length.cnv");
    const Item* before = window.frame->document()->currentItem;
    window.frame->list()->setFocus();
    deliverPosted();
    Window::type(QStringLiteral("f"));
    // A key still on its way to the list goes into the box, too.
    QTest::keyClicks(window.frame->list(), QStringLiteral("o"));
    ASSERT_TRUE(window.finder().isOpen());
    EXPECT_EQ(window.box().line()->text(), QStringLiteral("fo"));
    ASSERT_GE(window.box().units().size(), 2);
    // The current file's units come first: Foot before Foot per second.
    EXPECT_EQ(window.box().units().front().identifier, QStringLiteral("ft"));
    EXPECT_EQ(window.box().units()[1].identifier, QStringLiteral("ft_s"));
    Window::key(Qt::Key_Down);
    EXPECT_EQ(window.box().current(), 1);
    EXPECT_EQ(window.frame->document()->currentItem, before); // the list stayed

    Window::key(Qt::Key_Escape);
    EXPECT_FALSE(window.finder().isOpen());
    EXPECT_EQ(fileName(window.frame->document()), QStringLiteral("Length.cnv"));
    EXPECT_EQ(window.frame->document()->currentItem, before);
    EXPECT_EQ(Window::focus(), window.frame->list());

    Window::type(QStringLiteral("zzzq"));
    EXPECT_TRUE(window.box().units().isEmpty());
    EXPECT_EQ(window.box().note()->text(), QStringLiteral("No unit matches \"zzzq\"."));
    Window::key(Qt::Key_Return); // nothing to take
    EXPECT_TRUE(window.finder().isOpen());
}

TEST(FindUnitTest, AUnitAddedToTheOpenFileIsFoundBeforeAndAfterItIsSaved) {
    ConverterWorld world;
    world.seed(kFiles);
    Window window(world, u"Length.cnv");
    auto item = createItem(UnitItem::kTypeCode);
    item->name = u"Roman mile";
    item->identifier = u"mille";
    window.frame->document()->items.push_back(std::move(item));

    Window::key(Qt::Key_F, Qt::ControlModifier);
    Window::type(QStringLiteral("roman mile"));
    ASSERT_EQ(window.box().units().size(), 1);
    EXPECT_EQ(window.box().units().front().fileName, QStringLiteral("Length.cnv"));
    Window::key(Qt::Key_Escape);

    // Saved as an edit is, then left for another file: the index reads the
    // file again.
    window.frame->document()->markModified();
    ASSERT_TRUE(window.frame->saver().saveChanges(*window.frame->document()));
    Window::key(Qt::Key_F, Qt::ControlModifier);
    Window::type(QStringLiteral("kph"));
    Window::key(Qt::Key_Return);
    ASSERT_EQ(fileName(window.frame->document()), QStringLiteral("Speed.cnv"));
    Window::key(Qt::Key_F, Qt::ControlModifier);
    Window::type(QStringLiteral("roman mile"));
    ASSERT_TRUE(waitFor([&] { return window.box().units().size() == 1; }));
    EXPECT_EQ(window.box().units().front().identifier, QStringLiteral("mille"));
    Window::key(Qt::Key_Return);
    EXPECT_EQ(fileName(window.frame->document()), QStringLiteral("Length.cnv"));
    EXPECT_EQ(identifier(window.frame->document()->currentItem), QStringLiteral("mille"));
}

TEST(FindUnitTest, TheUnitsUsedLastAreListedAfterARestart) {
    ConverterWorld world;
    world.seed(kFiles);
    {
        Window window(world);
        Window::key(Qt::Key_F, Qt::ControlModifier);
        EXPECT_TRUE(window.box().units().isEmpty()); // nothing used yet
        Window::type(QStringLiteral("lbs"));
        Window::key(Qt::Key_Return);
        ASSERT_EQ(identifier(window.frame->document()->currentItem), QStringLiteral("lb"));
        // A value typed for a unit counts as using it.
        window.frame->list()->select(0);
        Window::type(QStringLiteral("2"));
        Window::key(Qt::Key_Return);
    }
    ConverterWorld::storedRecord(); // the settings record is untouched by the list
    Window window(world, u"Length.cnv");
    Window::key(Qt::Key_F, Qt::ControlModifier);
    ASSERT_EQ(window.box().units().size(), 2);
    EXPECT_EQ(window.box().units()[0].identifier, QStringLiteral("t"));
    EXPECT_EQ(window.box().units()[1].identifier, QStringLiteral("lb"));
    EXPECT_EQ(window.box().note()->text(), QStringLiteral("Used last:"));
    Window::key(Qt::Key_Down);
    Window::key(Qt::Key_Return);
    EXPECT_EQ(fileName(window.frame->document()), QStringLiteral("Weight.cnv"));
    EXPECT_EQ(identifier(window.frame->document()->currentItem), QStringLiteral("lb"));
    EXPECT_EQ(ConverterWorld::storedRecord().size(), conv::ConverterSettings::kSize);
}

TEST(FindUnitTest, F4OpensTheFileSwitcherAndTheEditMenuOffersFindUnit) {
    ConverterWorld world;
    world.seed(kFiles);
    Window window(world);
    Window::key(Qt::Key_F4);
    ASSERT_TRUE(waitFor([] { return QApplication::activePopupWidget() != nullptr; }));
    QWidget* popup = QApplication::activePopupWidget();
    EXPECT_EQ(popup->objectName(), QStringLiteral("fileSwitcher"));
    popup->close();

    QAction* find = window.frame->commandAction(kCmdFindUnit);
    ASSERT_NE(find, nullptr);
    EXPECT_EQ(find->text(), QStringLiteral("&Find Unit..."));
    EXPECT_EQ(find->shortcut(), QKeySequence(QKeySequence::Find));
}

TEST(FindUnitTest, AConversionTypedIsAnsweredFirstAndEnterOpensItWithTheValueEntered) {
    constexpr double kMile = 1609.344; // m
    constexpr double kFoot = 0.3048;   // m
    const struct {
        const char* typed;
        const char* answer;
        const char* file;
        const char* first;
        double firstValue;
        const char* target;
        double targetValue;
    } cases[] = {
        {"60 mph to km/h", "60 mph = 96.56064 km/h", "Speed.cnv", "mph", 60, "km_h",
         60 * kMile / 1000},
        {"5 ft 11 in to cm", "5 ft 11 in = 180.34 cm", "Length.cnv", "ft", 5 + 11.0 / 12, "cm",
         (5 + 11.0 / 12) * kFoot * 100},
        // A hidden unit is shown, as the unit found is.
        {"1 mi in furlong", "1 mi = 8 Furlong", "Length.cnv", "mi", 1, "furlong", 8},
        {"-40 F to C", "-40 \u00B0F = -40 \u00B0C", "Temperature.cnv", "degF", -40, "degC", -40},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        ConverterWorld world;
        world.seed(kFiles);
        Window window(world);
        Window::key(Qt::Key_F, Qt::ControlModifier);
        Window::type(QString::fromUtf8(c.typed));
        // The answer is the first line of the list while typing.
        ASSERT_TRUE(window.box().hasAnswer());
        EXPECT_EQ(window.box().list()->item(0)->text(), QString::fromUtf8(c.answer));
        EXPECT_EQ(window.box().current(), 0);
        Window::key(Qt::Key_Return);
        EXPECT_FALSE(window.finder().isOpen());
        Document* document = window.frame->document();
        ASSERT_EQ(fileName(document), QString::fromLatin1(c.file));
        // The target selected, the value entered for the first unit.
        Item* target = document->currentItem;
        ASSERT_NE(target, nullptr);
        EXPECT_EQ(identifier(target), QString::fromLatin1(c.target));
        EXPECT_TRUE(target->shown);
        EXPECT_NEAR(target->value, c.targetValue, 1e-12 * std::fabs(c.targetValue));
        const UnitListView& list = *window.frame->list();
        ASSERT_GE(list.selected(), 0);
        EXPECT_EQ(&list.row(list.selected()).item(), target);
        for (const auto& item : document->items)
            if (identifier(item.get()) == QString::fromLatin1(c.first)) {
                EXPECT_EQ(item->state, ValueState::Valid);
                EXPECT_NEAR(item->value, c.firstValue, 1e-12 * std::fabs(c.firstValue));
            }
    }
}

TEST(FindUnitTest, ANameTakesTheUnitNamedWholeAndAQuestionWithoutAnAnswerSaysWhy) {
    ConverterWorld world;
    world.seed(kFiles);
    world.seed({"TimeZones.cnv"});
    Window window(world, u"TimeZones.cnv");
    // "mi" is the mile, not a zone of the open file that begins with it.
    Window::key(Qt::Key_F, Qt::ControlModifier);
    Window::type(QStringLiteral("mi"));
    Window::key(Qt::Key_Return);
    EXPECT_EQ(fileName(window.frame->document()), QStringLiteral("Length.cnv"));
    EXPECT_EQ(identifier(window.frame->document()->currentItem), QStringLiteral("mi"));

    Window::key(Qt::Key_F, Qt::ControlModifier);
    Window::type(QStringLiteral("1 IST to UTC"));
    EXPECT_FALSE(window.box().hasAnswer());
    EXPECT_EQ(window.box().note()->text(), QStringLiteral("\u201CIST\u201D names several units:"));
    QStringList zones;
    for (const UnitReference& unit : window.box().units()) zones.append(unit.identifier);
    zones.sort();
    EXPECT_EQ(zones, (QStringList{"India", "Jerusalem", "London"}));
    Window::key(Qt::Key_Escape);
    EXPECT_EQ(fileName(window.frame->document()), QStringLiteral("Length.cnv"));
}
