#include <gtest/gtest.h>

#include <QApplication>
#include <QMenu>
#include <QScrollBar>
#include <QWheelEvent>

#include "converter/list/unit_list_view.h"
#include "document/document.h"
#include "document/item.h"
#include "tests/uikit/test_support.h"
#include "uikit/display_scale.h"

using namespace pq;
using namespace pq::conv;

namespace {

// A conversion document of n shown units named "Unit i" with identifiers
// "u i", unconnected.
std::unique_ptr<ConversionDocument> units(int n) {
    auto document = std::make_unique<ConversionDocument>();
    for (int i = 0; i < n; ++i) {
        auto item = createItem(UnitItem::kTypeCode);
        item->name = QStringLiteral("Unit %1").arg(i).toStdU16String();
        item->identifier = QStringLiteral("u%1").arg(i).toStdU16String();
        document->items.push_back(std::move(item));
    }
    return document;
}

void sendWheel(QWidget* widget, int delta) {
    QWheelEvent event(QPointF(5, 5), widget->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, delta),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(widget, &event);
}

} // namespace

TEST(UnitListTest, KeysWrapAroundAndScrollTheSelectionIntoView) {
    QWidget window;
    UnitListView list(&window, nullptr, nullptr);
    auto document = units(10);
    list.setGeometry(0, 0, 240, ui::Scaled(38) * 4 + 5);
    list.load(document.get());
    ASSERT_EQ(list.pageRows(), 4);
    ASSERT_EQ(list.selected(), 0);
    EXPECT_EQ(document->currentItem, document->items[0].get());

    list.select(9);
    EXPECT_EQ(list.firstVisible(), 6);
    EXPECT_TRUE(list.key(Qt::Key_Down));
    EXPECT_EQ(list.selected(), 0);
    EXPECT_EQ(list.firstVisible(), 0);
    EXPECT_TRUE(list.key(Qt::Key_Up));
    EXPECT_EQ(list.selected(), 9);
    EXPECT_EQ(list.firstVisible(), 6);

    list.select(8);
    EXPECT_TRUE(list.key(Qt::Key_PageDown));
    EXPECT_EQ(list.selected(), 2);
    EXPECT_EQ(list.firstVisible(), 2);
    EXPECT_TRUE(list.key(Qt::Key_PageUp));
    EXPECT_EQ(list.selected(), 8);
    EXPECT_EQ(document->currentItem, document->items[8].get());
    EXPECT_FALSE(list.key(Qt::Key_Left));

    // The scroll bar follows and drives the list.
    EXPECT_EQ(list.scrollBar()->value(), list.firstVisible());
    EXPECT_EQ(list.scrollBar()->maximum(), 6);
    EXPECT_TRUE(list.scrollBar()->isEnabled());
    list.scrollBar()->setValue(1);
    EXPECT_EQ(list.firstVisible(), 1);
}

// Rows are laid out and measured only in view: what changed while a row was
// out of view shows once it scrolls in, in its place and shortened to fit.
TEST(UnitListTest, RowsComingIntoViewShowWhatChangedMeanwhile) {
    QWidget window;
    UnitListView list(&window, nullptr, nullptr);
    auto document = units(50);
    list.setGeometry(0, 0, 140, ui::Scaled(38) * 4);
    list.load(document.get());
    ASSERT_EQ(list.pageRows(), 4);
    const std::pair<int, double> changes[] = {{30, 123456789012345.0}, {31, 5.0}};
    for (const auto& [index, value] : changes) {
        document->items[index]->value = value;
        document->items[index]->state = ValueState::Valid;
    }
    document->items[32]->identifier = u"ren"; // a narrow list shows identifiers
    list.refreshValues();
    list.refreshLayouts();

    list.scrollTo(29);
    const int height = list.rowHeight();
    for (int index : {29, 30, 31, 32}) {
        const UnitRow& row = list.row(index);
        const QRect place(0, (index - 29) * height, list.rowWidth(), height);
        EXPECT_EQ(row.rect(), place) << index;
        EXPECT_TRUE(place.contains(row.valueLabel().drawnRect()) ||
                    row.valueLabel().text().isEmpty())
            << index;
    }
    const QString longValue = list.row(30).valueLabel().shownText();
    EXPECT_TRUE(longValue.endsWith(u'~')) << longValue.toStdString();
    EXPECT_EQ(list.row(31).valueLabel().shownText(), list.row(31).valueLabel().text());
    EXPECT_EQ(list.row(32).nameLabel().text(), QStringLiteral("ren"));

    // Back at the top, the first rows are where they were.
    list.scrollTo(0);
    EXPECT_EQ(list.row(1).rect(), QRect(0, height, list.rowWidth(), height));
}

TEST(UnitListTest, TheWheelScrollsWholeNotchesOnly) {
    QWidget window;
    UnitListView list(&window, nullptr, nullptr);
    auto document = units(10);
    list.setGeometry(0, 0, 240, ui::Scaled(38) * 4);
    list.load(document.get());
    list.scrollTo(3);
    list.wheel(120);
    EXPECT_EQ(list.firstVisible(), 2);
    list.wheel(-120);
    EXPECT_EQ(list.firstVisible(), 3);
    list.wheel(119);
    list.wheel(-119);
    EXPECT_EQ(list.firstVisible(), 3);
    list.wheel(-240 * 10); // clamped at the end
    EXPECT_EQ(list.firstVisible(), 6);
    sendWheel(&list, 360);
    EXPECT_EQ(list.firstVisible(), 3);
    list.wheel(1200);
    EXPECT_EQ(list.firstVisible(), 0);
}

TEST(UnitListTest, RowsAreTwoLinesFrom76HighUnlessCompact) {
    for (int scale : {1, 2}) {
        pq::test::ScaleGuard guard(scale);
        QWidget window;
        UnitListView list(&window, nullptr, nullptr);
        window.show();
        auto document = units(3);
        list.load(document.get());
        list.setGeometry(0, 0, 240 * scale, 75 * scale);
        EXPECT_EQ(list.rowHeight(), 21 * scale);
        list.setGeometry(0, 0, 240 * scale, 76 * scale);
        EXPECT_EQ(list.rowHeight(), 38 * scale);
        EXPECT_EQ(list.pageRows(), 2);
        list.setCompact(true);
        EXPECT_EQ(list.rowHeight(), 21 * scale);
        EXPECT_EQ(list.pageRows(), 3);
        EXPECT_EQ(list.row(2).rect(), QRect(0, 42 * scale, list.rowWidth(), 21 * scale));
    }
}

TEST(UnitListTest, NarrowNameBoxesShowTheIdentifier) {
    QWidget window;
    UnitListView list(&window, nullptr, nullptr);
    auto document = units(2);
    document->items[1]->identifier = std::u16string();
    list.load(document.get());
    // One-line rows 240 wide: a name box of 60 pixels.
    list.row(0).layout(QRect(0, 0, 240, 21));
    EXPECT_EQ(list.row(0).nameLabel().box().width(), 60);
    EXPECT_EQ(list.row(0).nameLabel().text(), QStringLiteral("u0"));
    list.row(1).layout(QRect(0, 0, 240, 21));
    EXPECT_EQ(list.row(1).nameLabel().text(), QStringLiteral("Unit 1"));
    // Two-line rows: 228 pixels and the name.
    list.row(0).layout(QRect(0, 0, 240, 38));
    EXPECT_EQ(list.row(0).nameLabel().box().width(), 228);
    EXPECT_EQ(list.row(0).nameLabel().text(), QStringLiteral("Unit 0"));
}

TEST(UnitListTest, RowsShowValuesColoursAndTheirMenu) {
    QWidget window;
    UnitListView list(&window, nullptr, nullptr);
    list.setGeometry(0, 0, 240, 200);
    CalculationDocument document;
    for (int role : {Input, Output}) {
        auto item = createItem(CalcItem::kTypeCode);
        static_cast<CalcItem&>(*item).role = role;
        item->name = role == Input ? std::u16string(u"In") : std::u16string(u"Out");
        document.items.push_back(std::move(item));
    }
    Item& input = *document.items[0];
    input.value = 123456789012345.0;
    input.state = ValueState::Valid;
    list.load(&document);
    EXPECT_EQ(list.row(0).valueLabel().colour(), QColor(Qt::black));
    EXPECT_EQ(list.row(1).valueLabel().colour(), QColor(0, 112, 0)) << "a green that reads";
    EXPECT_EQ(list.row(0).valueLabel().text(), QString::fromStdU16String(input.displayValue()));

    // A value too long for its box ends in "~".
    list.row(0).layout(QRect(0, 0, 90, 38));
    const QString shown = list.row(0).valueLabel().shownText();
    EXPECT_LT(shown.size(), list.row(0).valueLabel().text().size());
    EXPECT_TRUE(shown.endsWith(u'~'));

    QObject target;
    std::unique_ptr<QMenu> withValue(list.row(0).createContextMenu(&window, &target));
    ASSERT_EQ(withValue->actions().size(), 4);
    EXPECT_EQ(withValue->actions()[0]->text(), QStringLiteral("&Copy Value"));
    EXPECT_TRUE(withValue->actions()[1]->isSeparator());
    EXPECT_EQ(withValue->actions()[2]->text(), QStringLiteral("&Edit"));
    EXPECT_EQ(withValue->actions()[3]->text(), QStringLiteral("&Remove from List"));
    std::unique_ptr<QMenu> empty(list.row(1).createContextMenu(&window, &target));
    ASSERT_EQ(empty->actions().size(), 2);
    EXPECT_EQ(empty->actions()[0]->text(), QStringLiteral("&Edit"));
}

TEST(UnitListTest, ADocumentWithoutShownItemsGivesAnEmptyList) {
    QWidget window;
    UnitListView list(&window, nullptr, nullptr);
    list.setGeometry(0, 0, 240, 200);
    auto document = units(3);
    for (auto& item : document->items) item->shown = 0;
    list.load(document.get());
    EXPECT_EQ(list.rowCount(), 0);
    EXPECT_EQ(list.selected(), -1);
    EXPECT_FALSE(list.scrollBar()->isEnabled());
    EXPECT_TRUE(list.key(Qt::Key_Down));
    EXPECT_EQ(list.selected(), -1);
    list.copyValue(); // no selection: nothing, no message
    EXPECT_EQ(document->currentItem, nullptr);
}
