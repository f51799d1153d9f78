#include "calculator/formula_status.h"

#include <QPainter>
#include <QTextEdit>
#include <QTimerEvent>

#include "calculator/expression_edit.h"
#include "calculator/number_text.h"
#include "calculator/result_display.h"
#include "engine/eval_error.h"
#include "engine/expression_engine.h"
#include "uikit/scheme_colours.h"

namespace pq::calc {

namespace {

} // namespace

FormulaStatus::FormulaStatus(QWidget* parent, ExpressionEngine& engine, ExpressionEdit& edit,
                             const ResultDisplay& display)
    : QWidget(parent), engine_(engine), edit_(edit), display_(display) {
    setObjectName(QStringLiteral("formulaStatus"));
    setAccessibleName(QStringLiteral("Formula status"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    connect(&edit_, &QPlainTextEdit::textChanged, this, [this] { lineChanged(); });
}

void FormulaStatus::lineChanged() {
    if (error_) {
        edit_.setExtraSelections({});
        show(QString(), false);
    }
    timer_.start(kLiveDelay, this);
}

void FormulaStatus::timerEvent(QTimerEvent* event) {
    if (event->timerId() != timer_.timerId()) return QWidget::timerEvent(event);
    timer_.stop();
    evaluateLine();
}

void FormulaStatus::evaluateLine() {
    timer_.stop();
    if (error_) return;
    const QString line = edit_.text();
    if (line.trimmed().isEmpty() || line.size() > kLiveLength) return show(QString(), false);
    // A live evaluation leaves no trace: the random numbers of rand go on
    // as if it had not run, so that Enter shows the value seen here.
    const uint32_t random = engine_.randomState();
    const long limit = engine_.callLimit();
    engine_.setCallLimit(kLiveCalls);
    double value = 0;
    const bool ok = engine_.evaluate(line.toStdU16String(), value);
    engine_.setCallLimit(limit);
    engine_.seedRandom(random);
    if (!ok) return show(QString(), false);
    Base used = Base::Dec;
    const std::u16string plain = baseOutput(value, display_.base(), display_.digits(), &used);
    const QString shown = QString::fromStdU16String(groupDigits(plain, used));
    // A number alone needs no value beside it.
    show(shown.compare(line.trimmed(), Qt::CaseInsensitive) == 0 ? QString()
                                                                 : QStringLiteral("= ") + shown,
         false);
}

void FormulaStatus::showError(const EvalError& error) {
    timer_.stop();
    show(QString::fromStdU16String(DescribeEvalError(error)), true);
    QList<QTextEdit::ExtraSelection> marks;
    if (error.hasPosition()) {
        QTextEdit::ExtraSelection mark;
        mark.cursor = edit_.textCursor();
        const int length = static_cast<int>(edit_.text().size());
        const int start = std::clamp(error.position, 0, length);
        mark.cursor.setPosition(start);
        mark.cursor.setPosition(std::clamp(start + std::max(error.length, 1), 0, length),
                                QTextCursor::KeepAnchor);
        const ui::SchemeColours& colours = ui::Colours();
        mark.format.setBackground(colours.errorMark);
        mark.format.setForeground(colours.errorInk);
        mark.format.setUnderlineStyle(QTextCharFormat::WaveUnderline);
        mark.format.setUnderlineColor(colours.errorInk);
        marks.append(mark);
    }
    edit_.setExtraSelections(marks);
}

void FormulaStatus::clear() {
    timer_.stop();
    if (error_) edit_.setExtraSelections({});
    show(QString(), false);
}

void FormulaStatus::show(const QString& text, bool error) {
    if (text == text_ && error == error_) return;
    text_ = text;
    error_ = error;
    setAccessibleDescription(text);
    setToolTip(error ? text : QString());
    update();
}

void FormulaStatus::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const ui::SchemeColours& colours = ui::Colours();
    painter.fillRect(rect(), colours.paper);
    if (text_.isEmpty()) return;
    painter.setFont(font());
    painter.setPen(error_ ? colours.errorInk : colours.greyInk);
    const QRect area = rect().adjusted(height() / 4, 0, -height() / 4, 0);
    const QString shown = fontMetrics().elidedText(text_, Qt::ElideRight, area.width());
    painter.drawText(area, Qt::AlignVCenter | (error_ ? Qt::AlignLeft : Qt::AlignRight), shown);
}

} // namespace pq::calc
