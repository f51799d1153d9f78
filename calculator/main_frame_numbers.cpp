// The main window's choice of how numbers are shown: the significant
// digits and the notation, kept between runs.
#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>

#include "calculator/main_frame.h"
#include "calculator/scientific_view.h"

namespace pq::calc {

namespace {

// "&4" ... "&9", "1&0" ... "1&3", "14", "15": a key for each that has one.
QString countLabel(int count, const QString& unit) {
    QString number = QString::number(count);
    if (count < 10)
        number.prepend(u'&');
    else if (count < 14)
        number.insert(1, u'&');
    return number + u' ' + unit;
}

} // namespace

void CMainFrame::createNumberMenus(QMenu* modes) {
    const NumberStyle& style = scientific_->keptModes().style;

    QMenu* digits = new QMenu(QStringLiteral("Digi&ts"), this);
    digits->setObjectName(QStringLiteral("digitsMenu"));
    digits->setToolTip(QStringLiteral("The significant digits results show"));
    auto* digitGroup = new QActionGroup(digits);
    for (int n = NumberStyle::kMinDigits; n <= NumberStyle::kMaxDigits; ++n) {
        QAction* action = digits->addAction(countLabel(n, QStringLiteral("digits")));
        action->setCheckable(true);
        action->setChecked(n == style.digits);
        action->setData(n);
        digitGroup->addAction(action);
        connect(action, &QAction::triggered, this, [this, n] {
            NumberStyle chosen = scientific_->keptModes().style;
            chosen.digits = n;
            setNumberStyle(chosen);
        });
    }

    QMenu* notation = new QMenu(QStringLiteral("&Notation"), this);
    notation->setObjectName(QStringLiteral("notationMenu"));
    auto* notationGroup = new QActionGroup(notation);
    const QString names[] = {QStringLiteral("&Automatic"), QStringLiteral("&Fixed decimals"),
                             QStringLiteral("&Scientific"), QStringLiteral("&Engineering")};
    for (int k = 0; k < 4; ++k) {
        QAction* action = notation->addAction(names[k]);
        action->setCheckable(true);
        action->setChecked(static_cast<int>(style.notation) == k);
        action->setData(k);
        notationGroup->addAction(action);
        connect(action, &QAction::triggered, this, [this, k] {
            NumberStyle chosen = scientific_->keptModes().style;
            chosen.notation = static_cast<Notation>(k);
            setNumberStyle(chosen);
        });
    }
    notation->addSeparator();
    QMenu* decimals = notation->addMenu(QStringLiteral("&Decimals"));
    decimals->setObjectName(QStringLiteral("decimalsMenu"));
    auto* decimalGroup = new QActionGroup(decimals);
    for (int n = 0; n <= NumberStyle::kMaxDecimals; ++n) {
        QAction* action = decimals->addAction(
            countLabel(n, n == 1 ? QStringLiteral("decimal") : QStringLiteral("decimals")));
        action->setCheckable(true);
        action->setChecked(n == style.decimals);
        action->setData(n);
        decimalGroup->addAction(action);
        // A number of decimals is chosen for the fixed notation.
        connect(action, &QAction::triggered, this, [this, n] {
            NumberStyle chosen = scientific_->keptModes().style;
            chosen.decimals = n;
            chosen.notation = Notation::Fixed;
            setNumberStyle(chosen);
        });
    }
    modes->addSection(QStringLiteral("Results"));
    modes->addMenu(digits);
    modes->addMenu(notation);
    digitsMenu_ = digits;
    notationMenu_ = notation;
    applyNumberStyle();
}

void CMainFrame::setNumberStyle(const NumberStyle& style) {
    KeptModes& kept = scientific_->keptModes();
    kept.style = style;
    kept.write();
    applyNumberStyle();
}

void CMainFrame::applyNumberStyle() {
    const NumberStyle& style = scientific_->keptModes().style;
    auto check = [](QMenu* menu, int value) {
        if (!menu) return;
        for (QAction* action : menu->actions())
            if (action->isCheckable()) action->setChecked(action->data().toInt() == value);
    };
    check(digitsMenu_, style.digits);
    check(notationMenu_, static_cast<int>(style.notation));
    if (notationMenu_)
        if (auto* decimals = notationMenu_->findChild<QMenu*>(QStringLiteral("decimalsMenu")))
            check(decimals, style.decimals);
    mainDisplay_.setStyle(style);
    functionResult_.setStyle(style);
    calculator_.setStyle(style.digits,
                         style.notation == Notation::Fixed ? style.decimals : -1);
    if (view_ == ViewMode::Standard) showCalculator();
    client_->update();
}

} // namespace pq::calc
