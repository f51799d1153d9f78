#include "uikit/date_time_edit.h"

#include <QAction>
#include <QCalendarWidget>
#include <QFrame>
#include <QKeyEvent>
#include <QLocale>
#include <QPainter>
#include <QRegularExpression>
#include <QScreen>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <algorithm>

#include "uikit/colours.h"
#include "uikit/display_scale.h"

namespace pq::ui {

namespace {

bool inRange(const QDate& date) {
    return date.isValid() && date >= DateEdit::FirstDate() && date <= DateEdit::LastDate();
}

// A small calendar sheet for the box's button.
QIcon calendarIcon(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    const int m = std::max(1, size / 8);
    const QRect sheet(m, 2 * m, size - 2 * m - 1, size - 3 * m - 1);
    painter.setPen(QPen(QColor(64, 64, 64), std::max(1, size / 16)));
    painter.setBrush(Qt::white);
    painter.drawRect(sheet);
    painter.fillRect(QRect(sheet.left(), sheet.top(), sheet.width() + 1, 3 * m),
                     ThemeColour());
    for (int row = 0; row < 2; ++row)
        for (int column = 0; column < 3; ++column)
            painter.fillRect(
                QRect(sheet.left() + m + column * 2 * m, sheet.top() + 4 * m + row * 2 * m, m, m),
                QColor(64, 64, 64));
    return QIcon(pixmap);
}

} // namespace

DateEdit::DateEdit(QWidget* parent) : LineEdit(parent) {
    setTextForms({}, {});
    QAction* drop = addAction(calendarIcon(Scaled(16)), QLineEdit::TrailingPosition);
    drop->setToolTip(QStringLiteral("Calendar (Alt+Down)"));
    connect(drop, &QAction::triggered, this, [this] { showCalendar(); });
    connect(this, &QLineEdit::textEdited, this, [this] {
        if (changed_) changed_();
    });
}

void DateEdit::setTextForms(Reader reader, Writer writer) {
    reader_ = reader ? std::move(reader)
                     : Reader([](const QString& text, QDate& date, std::optional<QTime>& time) {
                           const QString t = text.trimmed();
                           date = QLocale().toDate(t, ShortDateFormat());
                           if (date.isValid()) return true;
                           const QDateTime iso = QDateTime::fromString(t, Qt::ISODate);
                           date = iso.isValid() ? iso.date() : QDate::fromString(t, Qt::ISODate);
                           if (iso.isValid() && t.size() > 10) time = iso.time();
                           return date.isValid();
                       });
    writer_ = writer ? std::move(writer) : Writer([](const QDate& date) {
        return QLocale().toString(date, ShortDateFormat());
    });
}

QString DateEdit::ShortDateFormat() {
    QString format = QLocale().dateFormat(QLocale::ShortFormat);
    // A locale whose short date names the month gets the numeric form, in
    // its order of day and month.
    if (format.contains(QLatin1String("MMM")) || !format.contains(QLatin1Char('y'))) {
        const qsizetype day = format.indexOf(QLatin1Char('d'));
        const qsizetype month = format.indexOf(QLatin1Char('M'));
        return day >= 0 && month >= 0 && day < month ? QStringLiteral("d/M/yyyy")
                                                     : QStringLiteral("M/d/yyyy");
    }
    static const QRegularExpression years(QStringLiteral("y+"));
    format.replace(years, QStringLiteral("yyyy"));
    return format;
}

void DateEdit::setDateOrNone(const QDate& date) {
    if (!inRange(date)) return setNoDate();
    setText(writer_(date));
}

void DateEdit::setNoDate() { clear(); }

bool DateEdit::read(QDate& date, std::optional<QTime>& time) const {
    time.reset();
    if (text().trimmed().isEmpty() || !reader_(text(), date, time)) return false;
    return inRange(date);
}

QDate DateEdit::dateOrNone() const {
    QDate date;
    std::optional<QTime> time;
    return read(date, time) ? date : QDate();
}

std::optional<QTime> DateEdit::typedTime() const {
    QDate date;
    std::optional<QTime> time;
    return read(date, time) ? time : std::nullopt;
}

void DateEdit::showCalendar() {
    if (popup_) return;
    popup_ = new QFrame(this, Qt::Popup);
    popup_->setAttribute(Qt::WA_DeleteOnClose);
    popup_->setFrameShape(QFrame::Box);
    auto* calendar = new QCalendarWidget(popup_);
    calendar->setDateRange(FirstDate(), LastDate());
    calendar->setGridVisible(true);
    const QDate shown = hasDate() ? dateOrNone() : QDate::currentDate();
    calendar->setSelectedDate(shown);
    calendar->setCurrentPage(shown.year(), shown.month());
    // One click picks a day; Enter picks the selected one.
    connect(calendar, &QCalendarWidget::clicked, this, [this](QDate date) { pick(date); });
    connect(calendar, &QCalendarWidget::activated, this, [this](QDate date) { pick(date); });
    auto* layout = new QVBoxLayout(popup_);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->addWidget(calendar);
    popup_->adjustSize();
    QPoint below = mapToGlobal(QPoint(0, height()));
    if (const QScreen* screen = this->screen()) {
        const QRect room = screen->availableGeometry();
        below.setX(std::clamp(below.x(), room.left(),
                              std::max(room.left(), room.right() - popup_->width())));
        if (below.y() + popup_->height() > room.bottom())
            below.setY(std::max(room.top(), mapToGlobal(QPoint(0, 0)).y() - popup_->height()));
    }
    popup_->move(below);
    popup_->show();
    calendar->setFocus(Qt::PopupFocusReason);
}

QCalendarWidget* DateEdit::calendar() const {
    return popup_ ? popup_->findChild<QCalendarWidget*>() : nullptr;
}

void DateEdit::pick(const QDate& date) {
    if (popup_) popup_->close();
    setDateOrNone(date);
    selectAll();
    setFocus(Qt::PopupFocusReason);
    if (changed_) changed_();
}

void DateEdit::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F4 ||
        (event->key() == Qt::Key_Down && (event->modifiers() & Qt::AltModifier))) {
        showCalendar();
        return;
    }
    LineEdit::keyPressEvent(event);
}

TimeEdit::TimeEdit(QWidget* parent) : QTimeEdit(parent) {
    setDisplayFormat(TimeFormat());
    // Any change by the user ends the blank state.
    connect(this, &QTimeEdit::timeChanged, this, [this] {
        if (hasTime_) return;
        hasTime_ = true;
        setSpecialValueText(QString());
    });
}

QString TimeEdit::TimeFormat() {
    // The locale's long time without its time zone.
    QString format = QLocale().timeFormat(QLocale::LongFormat);
    static const QRegularExpression zone(QStringLiteral("\\s*t+"));
    format.remove(zone);
    format = format.trimmed();
    if (!format.contains(QLatin1Char('s'))) format = QStringLiteral("HH:mm:ss");
    return format;
}

void TimeEdit::setTimeOrNone(const QTime& time) {
    if (!time.isValid()) return setNoTime();
    hasTime_ = true;
    setSpecialValueText(QString());
    setTime(time);
}

void TimeEdit::setNoTime() {
    // The special value text shows while the time is the minimum.
    hasTime_ = false;
    const QSignalBlocker blocker(this);
    setSpecialValueText(QStringLiteral(" "));
    if (time() != minimumTime()) {
        setTime(minimumTime());
    }
}

void TimeEdit::keyPressEvent(QKeyEvent* event) {
    if (LineEdit::IsListKey(event->key())) {
        event->ignore();
        return;
    }
    QTimeEdit::keyPressEvent(event);
}

} // namespace pq::ui
