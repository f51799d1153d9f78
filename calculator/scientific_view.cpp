#include "calculator/scientific_view.h"

#include <QApplication>
#include <QPushButton>
#include <QTimer>

#include <cmath>
#include <utility>

#include "calculator/commands.h"
#include "calculator/expression_edit.h"
#include "calculator/formula_status.h"
#include "calculator/frame_layout.h"
#include "calculator/keypad.h"
#include "calculator/name_completer.h"
#include "calculator/result_display.h"
#include "calculator/scientific_keys.h"
#include "engine/expression_engine.h"
#include "engine/number_parse.h"
#include "uikit/command_event.h"
#include "uikit/message_box.h"
#include "uikit/ui_font.h"

namespace pq::calc {

namespace {

constexpr QRgb kModeText = qRgb(255, 255, 255);
constexpr QRgb kModeBackground = qRgb(96, 96, 96);

struct ButtonInfo {
    unsigned id;
    const char16_t* label;
    const char16_t* accessibleName;
    const char16_t* toolTip;
};

constexpr ButtonInfo kButtons[5] = {
    {kCmdClear, u"CLR", u"Clear all", u"Clear the expression line and the result"},
    {kCmdClearEntry, u"CE", u"Clear entry", u"Delete the selection, or the whole line"},
    {kCmdBase, u"", u"Number base", u"Show the result in the next base"},
    {kCmdAngle, u"", u"Angle unit", u"Next angle unit: Rad, Deg, Gra"},
    {kCmdEvaluate, u"\u0192=?", u"Evaluate", u"Evaluate the expression (Enter)"},
};

QString memoryName(int memory) { return QStringLiteral("m") + QString::number(memory + 1); }

} // namespace

ScientificView::ScientificView(QWidget* client, QObject* receiver, ExpressionEngine& engine,
                               ResultDisplay& display, KeyNamePopup* popup,
                               const UserFunctionList& functions)
    : client_(client), receiver_(receiver), functions_(functions), popup_(popup), engine_(engine),
      display_(display), mode_(KeyMode::Normal), answer_(engine, functions),
      kept_(KeptModes::read()) {
    engine_.setAngleMode(kept_.angle);
    display_.setBase(kept_.base);
    display_.setStyle(kept_.style);
}

ScientificView::Controls& ScientificView::controls() {
    if (!controls_) makeControls();
    return *controls_;
}

void ScientificView::makeControls() {
    Controls& made = controls_.emplace(Controls{});
    made.edit = new ExpressionEdit(client_, receiver_, kCmdEvaluate);
    made.edit->setObjectName(QStringLiteral("expression"));
    made.edit->setAccessibleName(QStringLiteral("Expression"));
    made.edit->setFont(ui::CreateUiFont(16, false));
    made.edit->setRecallSource([this] { return history_.recentFormulas(); });
    made.edit->setNameCompleter(new NameCompleter(made.edit, [this] { return offeredNames(); }));
    // The context menu offers the last formulas of the previous run.
    for (const QString& formula : std::exchange(restoredFormulas_, {}))
        made.edit->addToHistory(formula);
    made.status = new FormulaStatus(client_, engine_, *made.edit, display_);

    QObject* receiver = receiver_;
    for (int i = 0; i < 5; ++i) {
        auto* button = new QPushButton(QString::fromUtf16(kButtons[i].label), client_);
        // Tab reaches the buttons; a tap leaves the focus in the line.
        button->setFocusPolicy(Qt::TabFocus);
        button->setAccessibleName(QString::fromUtf16(kButtons[i].accessibleName));
        button->setToolTip(QString::fromUtf16(kButtons[i].toolTip));
        button->setFont(ui::CreateUiFont(12, false));
        const unsigned id = kButtons[i].id;
        QObject::connect(button, &QPushButton::clicked, receiver,
                         [receiver, id] { ui::PostCommand(receiver, id); });
        made.buttons[i] = button;
    }
    button(kCmdBase)->setText(display_.baseName());
    button(kCmdAngle)->setText(QString::fromStdU16String(std::u16string(engine_.angleModeName())));

    made.functionKeypad = new KeyPad(client_, receiver_);
    made.functionKeypad->setObjectName(QStringLiteral("functionKeypad"));
    made.functionKeypad->setAccessibleName(QStringLiteral("Function keys"));
    made.characterKeypad = new KeyPad(client_, receiver_);
    made.characterKeypad->setObjectName(QStringLiteral("characterKeypad"));
    made.characterKeypad->setAccessibleName(QStringLiteral("Character keys"));
    made.functionKeypad->create(QRect(), 7, 3, kCmdFunctionKeyFirst, functionKeys(),
                                ui::CreateUiFont(12, false), popup_);
    made.characterKeypad->create(QRect(), 10, 4, kCmdCharacterKeyFirst, characterKeys(),
                                 ui::CreateUiFont(13, false), popup_);

    // Hidden until the view shows them, laid out as the window is now.
    made.edit->hide();
    made.status->hide();
    for (QPushButton* button : made.buttons) button->hide();
    made.functionKeypad->showObject(false);
    made.characterKeypad->showObject(false);
    if (layout_) layOut(*layout_);
}

std::vector<OfferedName> ScientificView::offeredNames() const {
    std::vector<OfferedName> names = BuiltinNames();
    for (int memory = 0; memory < 4; ++memory)
        names.push_back({memoryName(memory), memoryName(memory), 0,
                         QStringLiteral("memory %1").arg(memory + 1)});
    if (!answer_.isUsersFunction())
        names.push_back(
            {QStringLiteral("ans"), QStringLiteral("ans"), 0, QStringLiteral("the last result")});
    for (const UserFunction& function : functions_)
        names.push_back({QString::fromStdU16String(CallName(function.declaration)),
                         QString::fromStdU16String(function.declaration), function.paramCount,
                         QString::fromStdU16String(function.name)});
    return names;
}

QPushButton* ScientificView::button(unsigned id) {
    for (int i = 0; i < 5; ++i)
        if (kButtons[i].id == id) return controls().buttons[i];
    return nullptr;
}

void ScientificView::layOut(const FrameLayout& layout) {
    layout_ = layout;
    if (!controls_) return;
    // The status line takes the bottom of the expression line's band.
    const int s = layout.scale;
    const QRect band = layout.expressionEdit;
    const int statusHeight = static_cast<int>(std::lround(14.0 * layout.height / 269.0));
    edit()->setGeometry(band.adjusted(0, 0, 0, -statusHeight));
    status()->setGeometry(
        QRect(3 * s, band.bottom() + 1 - statusHeight, layout.width - 6 * s, statusHeight - s));
    button(kCmdBase)->setGeometry(layout.baseButton);
    button(kCmdAngle)->setGeometry(layout.angleButton);
    button(kCmdClearEntry)->setGeometry(layout.clearEntryButton);
    button(kCmdClear)->setGeometry(layout.clearButton);
    button(kCmdEvaluate)->setGeometry(layout.evaluateButton);
    functionKeypad()->setGeometry(layout.functionKeypad);
    characterKeypad()->setGeometry(layout.characterKeypad);
    const double f = layout.fontScale;
    edit()->setFont(ScaledUiFont(16, f));
    status()->setFont(ScaledUiFont(11, f));
    for (QPushButton* button : controls().buttons) button->setFont(ScaledUiFont(12, f));
    functionKeypad()->setFont(ScaledUiFont(12, f));
    characterKeypad()->setFont(ScaledUiFont(13, f));
}

void ScientificView::setVisible(bool visible) {
    if (!visible && !controls_) return;
    edit()->setVisible(visible);
    status()->setVisible(visible);
    for (QPushButton* button : controls().buttons) button->setVisible(visible);
    functionKeypad()->showObject(visible);
    characterKeypad()->showObject(visible);
    if (visible) edit()->setFocus();
}

bool ScientificView::command(unsigned id) {
    if (id >= kCmdCharacterKeyFirst && id < kCmdCharacterKeyFirst + kCharacterKeyCount) {
        edit()->typeCharacter(characterKeyCharacter(static_cast<int>(id - kCmdCharacterKeyFirst)));
    } else if (id > kCmdFunctionKeyFirst && id < kCmdFunctionKeyFirst + kFunctionKeyCount) {
        functionKey(static_cast<int>(id - kCmdFunctionKeyFirst));
    } else if (id >= kCmdAngleFirst && id < kCmdAngleFirst + 3) {
        chooseAngle(static_cast<AngleMode>(id - kCmdAngleFirst));
    } else if (id >= kCmdBaseFirst && id < kCmdBaseFirst + 4) {
        chooseBase(static_cast<Base>(id - kCmdBaseFirst));
    } else if (id == kCmdInverse || id == kCmdHyperbolic) {
        setMode(id == kCmdInverse ? KeyMode::Inverse : KeyMode::Hyperbolic);
    } else if (id >= kCmdInsertMemoryFirst && id < kCmdInsertMemoryFirst + 4) {
        edit()->insertCall(memoryName(static_cast<int>(id - kCmdInsertMemoryFirst)), 0);
    } else if (id >= kCmdInsertExpressionFirst && id < kCmdInsertExpressionFirst + 2) {
        edit()->insertCall(stored_[id - kCmdInsertExpressionFirst], 0);
    } else if (id >= kCmdStoreMemoryFirst && id < kCmdStoreMemoryFirst + 4) {
        storeMemory(static_cast<int>(id - kCmdStoreMemoryFirst));
    } else if (id >= kCmdStoreExpressionFirst && id < kCmdStoreExpressionFirst + 2) {
        stored_[id - kCmdStoreExpressionFirst] = edit()->text();
    } else {
        switch (id) {
        case kCmdClear:
            edit()->clear();
            display_.setText(QStringLiteral("0"));
            status()->clear();
            lastFormula_.clear();
            break;
        case kCmdClearEntry: edit()->clearEntry(); break;
        case kCmdBase:
            chooseBase(static_cast<Base>((static_cast<int>(display_.base()) + 1) % 4));
            break;
        case kCmdAngle:
            chooseAngle(static_cast<AngleMode>((static_cast<int>(engine_.angleMode()) + 1) % 3));
            break;
        case kCmdEvaluate: evaluate(); break;
        default: return false;
        }
    }
    // A tap leaves the keyboard in the expression line; a key pressed on a
    // button or keypad that has the keyboard focus keeps it there.
    if (edit()->isVisible() && !hasKeyboardStop(QApplication::focusWidget())) edit()->setFocus();
    return true;
}

QList<QWidget*> ScientificView::keyboardStops() {
    return {button(kCmdBase),  button(kCmdAngle),    button(kCmdClearEntry),
            button(kCmdClear), button(kCmdEvaluate), edit(),
            functionKeypad(),  characterKeypad()};
}

bool ScientificView::hasKeyboardStop(const QWidget* widget) {
    if (!widget || !controls_) return false;
    for (QPushButton* button : controls_->buttons)
        if (button == widget) return true;
    return widget == controls_->functionKeypad || widget == controls_->characterKeypad;
}

void ScientificView::chooseAngle(AngleMode mode) {
    engine_.setAngleMode(mode);
    button(kCmdAngle)->setText(QString::fromStdU16String(std::u16string(engine_.angleModeName())));
    kept_.angle = engine_.angleMode();
    kept_.write();
    evaluateAgain();
}

void ScientificView::chooseBase(Base base) {
    button(kCmdBase)->setText(display_.showInBase(base));
    kept_.base = display_.base();
    kept_.write();
    evaluateAgain();
}

bool ScientificView::evaluate() {
    const QString text = edit()->text();
    double value = 0;
    if (!engine_.evaluate(text.toStdU16String(), value)) {
        display_.showError();
        status()->showError(engine_.lastError());
        lastFormula_.clear();
        return false;
    }
    display_.setValue(value);
    edit()->markEvaluated();
    edit()->addToHistory(text);
    status()->clear();
    lastFormula_ = text;
    lastShown_ = display_.text();
    answer_.set(value);
    report(history_.append({text, ExactNumberText(value)}));
    if (historyChanged_) historyChanged_();
    return true;
}

void ScientificView::evaluateAgain() {
    // Only while the display still shows the result of that formula.
    if (!lastFormula_.isEmpty() && display_.text() != lastShown_) lastFormula_.clear();
    if (!lastFormula_.isEmpty()) {
        double value = 0;
        if (engine_.evaluate(lastFormula_.toStdU16String(), value)) {
            display_.setValue(value);
            lastShown_ = display_.text();
            answer_.set(value);
        } else {
            display_.showError();
            EvalError error = engine_.lastError();
            if (edit()->text() != lastFormula_) error.position = -1; // not the formula shown
            status()->showError(error);
            lastFormula_.clear();
        }
    }
    if (!status()->showsError()) status()->evaluateLine();
}

void ScientificView::restore(const QString& historyFile) {
    history_ = History(historyFile);
    report(history_.load());
    const QList<HistoryEntry>& entries = history_.entries();
    // The context menu offers the last formulas of the previous run.
    restoredFormulas_.clear();
    for (qsizetype k = std::max<qsizetype>(0, entries.size() - ExpressionEdit::kHistorySize);
         k < entries.size(); ++k)
        restoredFormulas_.append(entries[k].formula);
    if (controls_)
        for (const QString& formula : std::exchange(restoredFormulas_, {}))
            controls_->edit->addToHistory(formula);
    double value = 0;
    if (!entries.isEmpty() && parseNumber(entries.back().result.toStdU16String(), value))
        answer_.set(value);
    else
        answer_.refresh();
    if (historyChanged_) historyChanged_();
}

void ScientificView::clearHistory() {
    report(history_.clear());
    if (historyChanged_) historyChanged_();
}

void ScientificView::reuseFormula(const QString& formula) {
    edit()->replaceAll(formula);
    edit()->setFocus();
}

void ScientificView::insertResult(const QString& result) {
    // Right after an evaluation a number starts a new formula, as typed.
    if (edit()->isEvaluated())
        edit()->replaceAll(result);
    else
        edit()->insertPlainText(result);
    edit()->setFocus();
}

void ScientificView::report(const QString& problem) {
    // A problem is told once, not again at every evaluation until it ends.
    if (problem == lastProblem_) return;
    lastProblem_ = problem;
    if (problem.isEmpty()) return;
    QWidget* window = client_->window();
    QTimer::singleShot(0, window, [window, problem] {
        ui::ShowMessage(window, ui::MessageIcon::Warning, QStringLiteral("History"), problem);
    });
}

void ScientificView::storeMemory(int memory) {
    // A line whose result the display shows is stored as it is: evaluated
    // again, it would join the history twice.
    const bool shown = !lastFormula_.isEmpty() && edit()->text() == lastFormula_ &&
                       display_.text() == lastShown_;
    if (!shown) evaluate();
    // The full value, not the digits the display shows.
    if (const auto value = display_.value(); value && display_.hasText()) {
        int parameters = 0;
        engine_.setFunction(memoryName(memory).toStdU16String(),
                            ExactNumberText(*value).toStdU16String(), parameters);
    }
}

void ScientificView::setMode(KeyMode mode) {
    const int shown = static_cast<int>(mode_);
    if (mode_ != KeyMode::Normal) {
        const KeyDefinition& key = functionKeys()[static_cast<size_t>(shown)];
        functionKeypad()->setColours(shown, 0, QColor::fromRgb(key.textColour),
                                     QColor::fromRgb(key.backgroundColour));
    }
    mode_ = mode == mode_ ? KeyMode::Normal : mode;
    if (mode_ != KeyMode::Normal)
        functionKeypad()->setColours(static_cast<int>(mode_), 0, QColor::fromRgb(kModeText),
                                     QColor::fromRgb(kModeBackground));
    for (int cell = 0; cell < kFunctionKeyCount; ++cell)
        functionKeypad()->setLabel(cell % 7, cell / 7, functionKeyLabel(cell, mode_));
}

void ScientificView::functionKey(int cell) {
    const bool inverse = mode_ == KeyMode::Inverse;
    const bool hyperbolic = mode_ == KeyMode::Hyperbolic;
    switch (cell) {
    case kKeyHyp: setMode(KeyMode::Hyperbolic); return;
    case kKeyInv: setMode(KeyMode::Inverse); return;
    case kKeyRound: edit()->insertCall(QStringLiteral("round"), 1); break;
    case kKeyFactorial:
        edit()->insertOperator(inverse ? QStringLiteral("%") : QStringLiteral("!"));
        break;
    case kKeySquare:
        if (inverse)
            edit()->insertCall(QStringLiteral("sqrt"), 1);
        else
            edit()->insertOperator(QStringLiteral("\u00B2"));
        break;
    case kKeyCube:
        edit()->insertOperator(inverse ? QStringLiteral("1/") : QStringLiteral("\u00B3"));
        break;
    case kKeyPi: edit()->insertCall(QStringLiteral("pi"), 0); break;
    case kKeyE: edit()->insertCall(QStringLiteral("e"), 0); break;
    case kKeyM1:
    case kKeyM2:
    case kKeyM3:
    case kKeyM4: {
        const int memory = cell == kKeyM1 ? 0 : cell == kKeyM2 ? 1 : cell == kKeyM3 ? 2 : 3;
        if (inverse)
            storeMemory(memory);
        else
            edit()->insertCall(memoryName(memory), 0);
        break;
    }
    case kKeyE1:
    case kKeyE2: {
        QString& stored = stored_[cell == kKeyE1 ? 0 : 1];
        if (inverse)
            stored = edit()->text();
        else
            edit()->insertCall(stored, 0);
        break;
    }
    case kKeySin:
    case kKeyCos:
    case kKeyTan:
        edit()->insertCall(functionKeyLabel(cell, hyperbolic ? KeyMode::Hyperbolic : mode_), 1);
        break;
    case kKeyBrackets: edit()->insertCall(QString(), 1); break;
    case kKeyLn:
        if (inverse)
            edit()->insertOperator(QStringLiteral("e^"));
        else
            edit()->insertCall(QStringLiteral("ln"), 1);
        break;
    case kKeyLg:
        if (inverse)
            edit()->insertOperator(QStringLiteral("10^"));
        else
            edit()->insertCall(QStringLiteral("lg"), 1);
        break;
    default: return;
    }
    endMode();
}

void ScientificView::endMode() {
    if (mode_ != KeyMode::Normal) setMode(mode_); // choosing the mode again ends it
}

} // namespace pq::calc
