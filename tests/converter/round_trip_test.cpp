// What the converter shows, copies and takes back stands for the same value:
// driven with real keys, mouse clicks and the clipboard.
#include <gtest/gtest.h>

#include <algorithm>

#include <QAbstractItemModel>
#include <QApplication>
#include <QCalendarWidget>
#include <QDir>
#include <QSpinBox>
#include <QTableView>
#include <QTimer>
#include <QTest>

#include "converter/commands.h"
#include "converter/dialogs/options_dialog.h"
#include "converter/entry/compound_editor.h"
#include "converter/entry/value_editor.h"
#include "converter/entry/value_entry_panel.h"
#include "converter/list/unit_list_view.h"
#include "document/item.h"
#include "engine/plain_number.h"
#include "engine/calendar_date.h"
#include "engine/format_text.h"
#include "engine/locale_dates.h"
#include "tests/converter/converter_fixture.h"
#include "tests/uikit/test_support.h"
#include "uikit/clipboard.h"
#include "uikit/date_time_edit.h"
#include "uikit/dialogs.h"
#include "uikit/line_edit.h"

using namespace pq;
using namespace pq::conv;
using pq::test::ConverterWorld;
using pq::test::deliverPosted;

namespace {

class RoundTrip : public ::testing::Test {
  protected:
    void open(const QString& file) {
        world.seed({file});
        world.writeSettings({file.toStdU16String()});
        frame = world.open();
        frame->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
        frame->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));
        ASSERT_NE(frame->document(), nullptr) << file.toStdString();
        // The pause after typing is beaten by hand.
        frame->panel()->setTicking(false);
    }

    UnitListView* list() const { return frame->list(); }
    ValueEditor* editor() const { return frame->panel()->editor(); }
    QWidget* control() const { return editor()->activeControl(); }
    QString text(int row) const { return list()->row(row).valueLabel().text(); }
    QStringList texts() const {
        QStringList all;
        for (int i = 0; i < list()->rowCount(); ++i) all << text(i);
        return all;
    }
    // The pause after typing: what the panel holds is stored and computed.
    void settle() {
        deliverPosted();
        for (int beat = 0; beat < ValueEntryPanel::kTicksToAccept; ++beat) frame->panel()->tick();
        deliverPosted();
    }
    // A click on a row, as the mouse gives it.
    void clickRow(int row) {
        QTest::mouseClick(list(), Qt::LeftButton, {}, list()->row(row).rect().center());
        deliverPosted();
        ASSERT_EQ(list()->selected(), row);
    }
    // Moves the selection with the keyboard.
    void selectRow(int row) {
        while (list()->selected() != row) {
            QTest::keyClick(control(), Qt::Key_Down);
            deliverPosted();
        }
        settle();
    }
    void key(QWidget* to, Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
        QTest::keyClick(to, key, modifiers);
        deliverPosted();
    }
    // Types a value the active editor takes, and presses Enter.
    void typeValue() {
        QWidget* box = control();
        switch (editor()->format()) {
        case Compound:
            QTest::keyClicks(box, QStringLiteral("4"));
            key(box, Qt::Key_Right);
            QTest::keyClicks(box, QStringLiteral("3"));
            break;
        case Date:
        case DateTime:
            key(box, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(box, QStringLiteral("2024-12-25 10:30:15"));
            break;
        case Hex: QTest::keyClicks(box, QStringLiteral("7B")); break;
        case Octal: QTest::keyClicks(box, QStringLiteral("173")); break;
        case Binary: QTest::keyClicks(box, QStringLiteral("1111011")); break;
        default: QTest::keyClicks(box, QStringLiteral("1234.5678")); break;
        }
        key(box, Qt::Key_Return);
        settle();
    }

    ConverterWorld world;
    std::unique_ptr<CPqConvFrame> frame;
};

} // namespace

TEST_F(RoundTrip, ClickingARowKeepsEveryOtherRow) {
    open(QStringLiteral("Speed.cnv"));
    ASSERT_EQ(list()->row(2).item().identifier, u"mph");
    ASSERT_EQ(list()->row(3).item().identifier, u"kn");
    clickRow(2);
    QTest::keyClicks(control(), QStringLiteral("60"));
    settle();
    EXPECT_EQ(text(0), QStringLiteral("96.56064"));
    EXPECT_EQ(text(4), QStringLiteral("88"));
    const QStringList before = texts();
    const double knots = list()->row(3).item().value;

    // The knot's twelve digits are not typed in again: its own value is.
    clickRow(3);
    settle();
    EXPECT_EQ(list()->row(3).item().value, knots);
    EXPECT_EQ(texts(), before);
    clickRow(0);
    settle();
    EXPECT_EQ(texts(), before);
}

// In every shipped file: a value typed in the first unit, then each of the
// first three units (two in the smallest files) copied and pasted back into
// its own value box leaves every row as it was, and the unit's value as its
// fifteen digits say.
TEST_F(RoundTrip, CopyAndPasteInEveryShippedFile) {
    const QStringList files =
        QDir(QStringLiteral(PQ_DATA_DIR)).entryList({"*.cnv", "*.cal"}, QDir::Files, QDir::Name);
    ASSERT_GE(files.size(), 19);
    for (const QString& file : files) {
        SCOPED_TRACE(file.toStdString());
        frame.reset();
        open(file);
        ASSERT_GE(list()->rowCount(), 2);
        typeValue();
        const QStringList before = texts();
        for (int row = 0; row < std::min(3, list()->rowCount()); ++row) {
            selectRow(row);
            const Item& item = list()->row(row).item();
            if (item.isOutput() || item.state != ValueState::Valid) continue;
            const double value = item.value;
            key(control(), Qt::Key_C, Qt::ControlModifier);
            const QString copied = ui::ClipboardText();
            ASSERT_FALSE(copied.isEmpty()) << row;
            key(control(), Qt::Key_A, Qt::ControlModifier);
            key(control(), Qt::Key_V, Qt::ControlModifier);
            EXPECT_TRUE(editor()->isValid()) << copied.toStdString();
            key(control(), Qt::Key_Return);
            settle();
            // A date as the row shows it, to the second; a number with the
            // fifteen digits a double carries safely.
            const bool date = item.format.displayFormat == pq::Date ||
                              item.format.displayFormat == pq::DateTime;
            EXPECT_EQ(item.value, date ? value : pq::roundedToDigits(value))
                << row << " " << copied.toStdString();
            if (!date) {
                EXPECT_EQ(copied, QString::fromStdString(pq::plainNumber(value)));
            }
            EXPECT_EQ(texts(), before) << row << " " << copied.toStdString();
        }
    }
}

// What the rows of Length show reads back in the value box: grouping, the
// spaced exponent, the compound value.
TEST_F(RoundTrip, TheRowsOfLengthPastedBack) {
    open(QStringLiteral("Length.cnv"));
    selectRow(8);
    ASSERT_EQ(list()->row(8).item().identifier, u"ft_in");
    ASSERT_EQ(editor()->format(), Compound);
    QTest::keyClicks(control(), QStringLiteral("4"));
    key(control(), Qt::Key_Right);
    QTest::keyClicks(control(), QStringLiteral("3"));
    settle();
    ASSERT_EQ(text(3), QStringLiteral("1,295.4"));
    ASSERT_EQ(text(4), QStringLiteral("804.924242424 e-6"));
    const QStringList before = texts();
    // A text as exact as the value leaves every row; a rounded one (the
    // mile's twelve digits) stands for the value it shows.
    struct Case {
        int row;
        QString pasted;
        bool exact;
    };
    for (const Case& c :
         {Case{3, text(3), true}, Case{4, text(4), false}, Case{8, text(8), true},
          Case{8, QStringLiteral("4.25"), true}, Case{6, QStringLiteral("4.25"), true}}) {
        selectRow(c.row);
        const double value = list()->row(c.row).item().value;
        // The box writes the row's number, without its grouping.
        if (c.row == 4) {
            EXPECT_EQ(editor()->textBox()->text(), QStringLiteral("804.924242424 e-6"));
        }
        ui::CopyTextToClipboard(c.pasted);
        key(control(), Qt::Key_A, Qt::ControlModifier);
        key(control(), Qt::Key_V, Qt::ControlModifier);
        EXPECT_TRUE(editor()->isValid()) << c.pasted.toStdString();
        settle();
        EXPECT_EQ(text(c.row), before[c.row]) << c.pasted.toStdString();
        EXPECT_NEAR(list()->row(c.row).item().value, value, 1e-12 * value);
        if (c.exact) {
            EXPECT_EQ(texts(), before) << c.pasted.toStdString();
        }
    }
}

TEST_F(RoundTrip, ADateTypedInTimeZones) {
    open(QStringLiteral("TimeZones.cnv"));
    auto* box = editor()->datePicker();
    ASSERT_EQ(control(), box);
    ASSERT_TRUE(box->hasFocus());
    // Christmas 2024 in the locale's own order, as the rows write it.
    const DateOrder order = localeDateOrder();
    const QString typed = order == DateOrder::DayMonthYear   ? QStringLiteral("25/12/2024")
                          : order == DateOrder::YearMonthDay ? QStringLiteral("2024/12/25")
                                                             : QStringLiteral("12/25/2024");
    key(box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(box, typed);
    settle();
    const Item& utc = list()->row(0).item();
    EXPECT_EQ(utc.value, CalendarDate(12, 25, 2024).day);
    EXPECT_TRUE(editor()->isValid());
    EXPECT_EQ(text(0), QString::fromStdU16String(displayDate(utc.value, true)));
    // The box and the rows write the date alike.
    key(box, Qt::Key_Return);
    EXPECT_TRUE(text(0).contains(box->text())) << text(0).toStdString();

    // ISO with a time sets the time box too.
    key(box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(box, QStringLiteral("2024-12-25 10:00"));
    EXPECT_EQ(editor()->timePicker()->time(), QTime(10, 0));
    settle();
    EXPECT_DOUBLE_EQ(utc.value, CalendarDate(12, 25, 2024, 10, 0, 0).day)
        << std::fixed << utc.value;

    // What does not read is red and stores nothing.
    key(box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(box, QStringLiteral("12/45/2024"));
    settle();
    EXPECT_FALSE(editor()->isValid());
    EXPECT_EQ(utc.value, CalendarDate(12, 25, 2024, 10, 0, 0).day);

    // An empty box drops its calendar at today; one click picks a day.
    key(box, Qt::Key_A, Qt::ControlModifier);
    key(box, Qt::Key_Delete);
    key(box, Qt::Key_Down, Qt::AltModifier);
    QCalendarWidget* calendar = box->calendar();
    ASSERT_NE(calendar, nullptr);
    const QDate today = QDate::currentDate();
    EXPECT_EQ(calendar->yearShown(), today.year());
    EXPECT_EQ(calendar->monthShown(), today.month());
    auto* table = calendar->findChild<QTableView*>();
    ASSERT_NE(table, nullptr);
    QModelIndex fifteenth;
    for (int r = 1; r < table->model()->rowCount() && !fifteenth.isValid(); ++r)
        for (int c = 1; c < table->model()->columnCount(); ++c) {
            const QModelIndex cell = table->model()->index(r, c);
            // The first row of days holds the end of the month before.
            if (cell.data().toInt() == 15 && r < 5) fifteenth = cell;
        }
    ASSERT_TRUE(fifteenth.isValid());
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, table->visualRect(fifteenth).center());
    deliverPosted();
    EXPECT_EQ(box->calendar(), nullptr) << "the calendar closes";
    EXPECT_EQ(box->date(), QDate(today.year(), today.month(), 15));
    settle();
    EXPECT_EQ(CalendarDate(utc.value).dayOfMonth, 15);
}

// Copies give at most fifteen significant digits: no chain of clicks shows
// binary noise. 1 m is 1/0.3048 ft; back in metres that is 0.9999999999999999
// in binary, but 1 to the digits a double carries.
TEST_F(RoundTrip, CopiesCarryNoBinaryNoiseAfterAChainOfClicks) {
    open(QStringLiteral("Length.cnv"));
    ASSERT_EQ(list()->row(1).item().identifier, u"m");
    ASSERT_EQ(list()->row(6).item().identifier, u"ft");
    auto copied = [&] {
        key(control(), Qt::Key_C, Qt::ControlModifier);
        return ui::ClipboardText();
    };
    selectRow(1);
    key(control(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(control(), QStringLiteral("1"));
    settle();
    for (int round = 0; round < 3; ++round) {
        selectRow(6);
        EXPECT_EQ(copied(), QStringLiteral("3.28083989501312")) << round;
        selectRow(1);
        EXPECT_EQ(copied(), QStringLiteral("1")) << round;
        EXPECT_EQ(text(1), QStringLiteral("1"));
    }
    key(control(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(control(), QStringLiteral("2"));
    settle();
    EXPECT_EQ(copied(), QStringLiteral("2"));
    selectRow(6);
    EXPECT_EQ(copied(), QStringLiteral("6.56167979002625"));
}

// Numbers as people write them, typed key by key into the value box and
// into the feet-and-inches field.
TEST_F(RoundTrip, FractionsAndFeetAndInchesTyped) {
    open(QStringLiteral("Length.cnv"));
    ASSERT_EQ(list()->row(2).item().identifier, u"cm");
    ASSERT_EQ(list()->row(7).item().identifier, u"in");
    struct Case {
        const char* typed;
        double inches;
    };
    // 1 in is 2.54 cm exactly.
    for (const Case& c : {Case{"1 1/2", 1.5}, Case{"1-1/2", 1.5}, Case{"3/4", 0.75},
                          Case{"11 3/16", 11.1875}, Case{"1e+2", 100}, Case{"2.5e+1", 25}}) {
        selectRow(7);
        key(control(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(control(), QString::fromUtf8(c.typed));
        settle();
        EXPECT_TRUE(editor()->isValid()) << c.typed;
        EXPECT_EQ(list()->row(7).item().value, c.inches) << c.typed;
        EXPECT_NEAR(list()->row(2).item().value, c.inches * 2.54, 1e-12) << c.typed;
    }
    for (const char* wrong : {"4e", "1e-", "."}) {
        key(control(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(control(), QString::fromUtf8(wrong));
        settle();
        EXPECT_FALSE(editor()->isValid()) << wrong;
        EXPECT_EQ(list()->row(7).item().value, 25) << wrong << " leaves the value";
    }

    // 5 ft 11 in is 71 in, 180.34 cm.
    selectRow(8);
    ASSERT_EQ(list()->row(8).item().identifier, u"ft_in");
    ASSERT_EQ(editor()->format(), Compound);
    struct Written {
        const char* typed;
        double centimetres;
        const char* shown;
    };
    for (const Written& w :
         {Written{"5 ft 11 in", 180.34, "5 ft 11 in "}, Written{"5' 11\"", 180.34, "5 ft 11 in "},
          Written{"5 ft 11 3/16 in", 180.81625, "5 ft 11.188 in "},
          Written{"5 11", 180.34, "5 ft 11 in "}, Written{"3 in", 7.62, "0 ft 3 in "},
          // Digits alone change their own field only: 6 ft and the 3 in.
          Written{"6", 190.5, "6 ft 3 in "}}) {
        selectRow(7);
        selectRow(8); // the field entered afresh, showing the value
        QTest::keyClicks(control(), QString::fromUtf8(w.typed));
        settle();
        EXPECT_TRUE(editor()->isValid()) << w.typed;
        EXPECT_NEAR(list()->row(2).item().value, w.centimetres, 1e-9) << w.typed;
        EXPECT_EQ(text(8), QString::fromUtf8(w.shown)) << w.typed;
    }
    // Keys that cannot go on the value are not taken: "5 ftx" is "5 ft".
    selectRow(7);
    selectRow(8);
    QTest::keyClicks(control(), QStringLiteral("5 ftx2"));
    auto* fields = editor()->compoundEditor();
    EXPECT_EQ(fields->fieldText(0), QStringLiteral("5"));
    EXPECT_EQ(fields->fieldText(1), QStringLiteral("2"));
    // An unfinished fraction does not read, and is marked.
    QTest::keyClicks(control(), QStringLiteral(" 1/"));
    settle();
    EXPECT_FALSE(editor()->isValid());
    EXPECT_EQ(fields->fieldText(1), QStringLiteral("2 1/"));
    QTest::keyClicks(control(), QStringLiteral("2"));
    settle();
    EXPECT_TRUE(editor()->isValid());
    EXPECT_NEAR(list()->row(2).item().value, (60 + 2.5) * 2.54, 1e-9);
}

// The digits the rows and the value box show, chosen in Options with the
// keyboard, apply at once and are kept for the next start; Copy keeps its
// fifteen.
TEST_F(RoundTrip, DigitsChosenInOptions) {
    open(QStringLiteral("Length.cnv"));
    selectRow(1); // m
    key(control(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(control(), QStringLiteral("2"));
    settle();
    ASSERT_EQ(text(6), QStringLiteral("6.56167979003")); // 2 m in feet, twelve digits
    QTimer::singleShot(0, [] {
        auto* dialog = dynamic_cast<OptionsDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        QSpinBox* digits = dialog->digitsBox();
        EXPECT_EQ(digits->value(), 12);
        digits->setFocus();
        QTest::keyClick(digits, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(digits, QStringLiteral("5"));
        ui::TriggerMenuBarItem(*dialog, ui::kOkCommand);
    });
    frame->onCommand(kCmdOptions);
    frame->activateWindow(); // Copy's shortcut works in the active window
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));
    EXPECT_EQ(text(6), QStringLiteral("6.5617"));
    EXPECT_EQ(text(0), QStringLiteral("0.002")); // km
    EXPECT_EQ(editor()->textBox()->text(), QStringLiteral("2"));
    selectRow(6);
    EXPECT_EQ(editor()->textBox()->text(), QStringLiteral("6.5617"));
    key(control(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(ui::ClipboardText(), QStringLiteral("6.56167979002625"));
    selectRow(1);
    EXPECT_EQ(list()->selected(), 1);
    EXPECT_EQ(text(1), QStringLiteral("2"));
    key(control(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(ui::ClipboardText(), QStringLiteral("2"));

    frame.reset();
    setShownDigits(kDefaultShownDigits);
    frame = world.open();
    EXPECT_EQ(shownDigits(), 5) << "kept for the next start";
    setShownDigits(kDefaultShownDigits);
}
