#include "converter/rates_line.h"

#include <QEvent>
#include <QRegularExpression>

#include "converter/rates_refresher.h"
#include "document/document.h"
#include "document/rates_date.h"
#include "uikit/display_scale.h"
#include "uikit/scheme_colours.h"
#include "uikit/ui_font.h"

namespace pq::conv {

namespace {

// Old rates and failures stand out in the scheme's error colour.
QColor warningColour(const QWidget& line) {
    return ui::Readable(ui::Colours().errorInk, line.palette().color(line.backgroundRole()));
}

QString coloured(const QString& text, const QColor& colour) {
    return QStringLiteral("<span style=\"color:%1\">%2</span>")
        .arg(colour.name(), text.toHtmlEscaped());
}

QString joined(const QString& first, const QString& second) {
    return first.isEmpty() || second.isEmpty() ? first + second
                                               : first + QStringLiteral(" · ") + second;
}

QString failureText(const QString& failure) {
    return failure.isEmpty() ? QString() : QStringLiteral("could not refresh: ") + failure;
}

} // namespace

QString RatesDateText(const QDate& date, const QLocale& locale) {
    // The locale's long form without the weekday, with the month's short
    // name.
    QString format = locale.dateFormat(QLocale::LongFormat);
    static const QRegularExpression weekday(QStringLiteral("[,\\s]*dddd[,\\s]*"));
    const QRegularExpressionMatch match = weekday.match(format);
    if (match.hasMatch()) {
        const bool atEdge = match.capturedStart() == 0 || match.capturedEnd() == format.size();
        format.replace(match.capturedStart(), match.capturedLength(),
                       atEdge ? QString() : QStringLiteral(" "));
    }
    format.replace(QStringLiteral("MMMM"), QStringLiteral("MMM"));
    return locale.toString(date, format);
}

QString RatesLineText(const QDate& rates, const QDate& today, const QString& failure,
                      const QLocale& locale) {
    QString text;
    if (rates.isValid()) {
        text =
            QStringLiteral("Rates of %1, European Central Bank").arg(RatesDateText(rates, locale));
        const qint64 age = rates.daysTo(today);
        if (age > kOldRatesDays) text += QStringLiteral(" (%1 days old)").arg(age);
    }
    return joined(text, failureText(failure));
}

RatesLine::RatesLine(QWidget* parent) : QLabel(parent) {
    setObjectName(QStringLiteral("ratesLine"));
    setFont(ui::CreateUiFont(12, false));
    setWordWrap(true);
    // Margins, not contents margins: the frame sets those anew when polished.
    setMargin(ui::Scaled(2));
    setIndent(ui::Scaled(4));
    hide();
}

void RatesLine::setRates(const Document* document, const QString& failure, const QDate& today) {
    const std::optional<CivilDate> date =
        document ? ratesDateOf(document->updatedText.view()) : std::nullopt;
    // A failed refresh concerns the rates file alone.
    failure_ = document && IsRatesFile(*document) ? failureText(failure) : QString();
    date_.clear();
    age_.clear();
    old_ = false;
    if (date) {
        const QDate rates(static_cast<int>(date->year()), static_cast<int>(unsigned(date->month())),
                          static_cast<int>(unsigned(date->day())));
        date_ = RatesLineText(rates, rates, QString());
        const qint64 age = rates.daysTo(today);
        old_ = age > kOldRatesDays;
        if (old_) age_ = QStringLiteral("(%1 days old)").arg(age);
    }
    plain_ = joined(age_.isEmpty() ? date_ : date_ + u' ' + age_, failure_);
    setVisible(!plain_.isEmpty());
    render();
}

int RatesLine::heightAt(int width) const {
    if (isHidden()) return 0;
    // Laying the text out is costly; the window asks for the same width
    // again and again.
    if (width != measured_.width || text() != measured_.text || font() != measured_.font)
        measured_ = {width, text(), font(), heightForWidth(width)};
    return measured_.height;
}

void RatesLine::changeEvent(QEvent* event) {
    QLabel::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) render();
}

void RatesLine::render() {
    const QString rates = old_ ? date_ + u' ' + age_ : date_;
    QPalette palette; // the parent's colours
    if (!failure_.isEmpty() && !rates.isEmpty() && !old_) {
        // Fresh rates above a failure: two colours, which take rich text.
        setTextFormat(Qt::RichText);
        // The reason of a failure starts a line of its own.
        setText(rates.toHtmlEscaped() + QStringLiteral("<br>") +
                coloured(failure_, warningColour(*this)));
    } else {
        // One colour: plain text, laid out and drawn in a fraction of the
        // time rich text takes.
        if (old_ || !failure_.isEmpty())
            palette.setColor(QPalette::WindowText, warningColour(*this));
        setTextFormat(Qt::PlainText);
        setText(rates.isEmpty() || failure_.isEmpty() ? rates + failure_
                                                      : rates + u'\n' + failure_);
    }
    setPalette(palette);
    setToolTip(plain_);
}

} // namespace pq::conv
