#include "converter/entry/value_entry_panel.h"

#include <QKeyEvent>
#include <QPainter>
#include <QTimerEvent>
#include <QWheelEvent>

#include "converter/commands.h"
#include "converter/entry/format_tab.h"
#include "converter/entry/value_editor.h"
#include "document/item.h"
#include "uikit/button_focus.h"
#include "uikit/clipboard.h"
#include "uikit/colours.h"
#include "uikit/command_event.h"
#include "uikit/display_scale.h"
#include "uikit/line_edit.h"
#include "uikit/resources.h"
#include "uikit/scheme_colours.h"
#include "uikit/ui_font.h"

namespace pq::conv {

namespace {

constexpr int kBackgroundBitmap = 131;

// The order of the tabs; Currency only without Decimal, and of the two date
// formats only date and time.
std::vector<int32_t> tabFormats(const NumberFormat& format) {
    std::vector<int32_t> formats;
    if (format.allows(Decimal))
        formats.push_back(Decimal);
    else if (format.allows(Currency))
        formats.push_back(Currency);
    for (int32_t code : {Hex, Octal, Binary})
        if (format.allows(code)) formats.push_back(code);
    if (format.allows(DateTime))
        formats.push_back(DateTime);
    else if (format.allows(Date))
        formats.push_back(Date);
    if (format.allows(Compound)) formats.push_back(Compound);
    return formats;
}

void drawFlatFrame(QPainter& painter, const QRect& r, int s) {
    const QColor shadow = ui::Shade(128);
    painter.fillRect(QRect(r.left(), r.top(), r.width(), s), shadow);
    painter.fillRect(QRect(r.left(), r.bottom() - s + 1, r.width(), s), shadow);
    painter.fillRect(QRect(r.left(), r.top(), s, r.height()), shadow);
    painter.fillRect(QRect(r.right() - s + 1, r.top(), s, r.height()), shadow);
}

} // namespace

ValueEntryPanel::ValueEntryPanel(ExpressionEngine& engine, QWidget* parent)
    : ui::WindowObject(parent), engine_(engine), editor_(new ValueEditor(engine, this)),
      tabFont_(ui::CreateUiFont(12, false)), editorFont_(ui::CreateUiFont(18, true)) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    editor_->setEditorFont(editorFont_);
    // The pickers' boxes are 94 pixels wide: the tab font fits them.
    editor_->setPickerFont(tabFont_);
    const int s = ui::DisplayScale();
    acceptButton_.create(this, kCmdAccept, QString(), s, 21 * s, 20 * s, 20 * s, tabFont_,
                         ui::kSunkenWhenPressed);
    acceptButton_.setIcon(ui::LoadIcon(kReadyIcon));
    defaultButton_.create(this, kCmdDefault, QString(), 0, 21 * s, 20 * s, 20 * s, tabFont_,
                          ui::kSunkenWhenPressed);
    defaultButton_.setIcon(ui::LoadIcon(kDefaultIcon));
    if (ownBackground_.load(kBackgroundBitmap, ui::ThemeColour(), true))
        background_ = &ownBackground_;
    // The tabs and buttons are drawn by the panel; these stops take Tab.
    tabsStop_ = new ui::ButtonFocus(this, QStringLiteral("Entry format"), [this] {
        if (tabCount() > 1) chooseTab((currentTab_ + 1) % tabCount());
        tabsStop_->setFocus(); // the editor took it
    });
    tabsStop_->setObjectName(QStringLiteral("entryFormatStop"));
    tabsStop_->setKeyHandler([this](int key) {
        const int last = tabCount() - 1;
        const int to = key == Qt::Key_Left    ? currentTab_ - 1
                       : key == Qt::Key_Right ? currentTab_ + 1
                       : key == Qt::Key_Home  ? 0
                       : key == Qt::Key_End   ? last
                                              : -2;
        if (to == -2) return false;
        if (to >= 0 && to <= last) chooseTab(to);
        tabsStop_->setFocus(); // the editor took it
        return true;
    });
    acceptStop_ = new ui::ButtonFocus(this, QStringLiteral("Accept the value"));
    acceptStop_->setObjectName(QStringLiteral("acceptStop"));
    defaultStop_ = new ui::ButtonFocus(this, QStringLiteral("Enter the default value"));
    defaultStop_->setObjectName(QStringLiteral("defaultStop"));
    resize(parent ? parent->width() : 240 * s, panelHeight());
    layoutControls();
    timer_.start(kTickInterval, this);
    showObject(false);
}

ValueEntryPanel::~ValueEntryPanel() = default;

int ValueEntryPanel::panelHeight() { return ui::Scaled(42); }

void ValueEntryPanel::setBackground(const ui::ThemedBitmap* background) {
    background_ = background ? background : (ownBackground_.isNull() ? nullptr : &ownBackground_);
    update();
}

void ValueEntryPanel::attach(Item* item) {
    item_ = item;
    clearTabs();
    update();
    if (!item || item->isOutput()) {
        editor_->attach(nullptr);
        showObject(false);
        return;
    }
    showObject(true);
    NumberFormat& format = item->format;
    editor_->attach(&format);
    const int32_t entryFormat = format.entryFormat;
    for (int32_t code : tabFormats(format)) {
        addTab(code);
        if (code == entryFormat) selectTab(tabCount() - 1);
    }
    if (currentTab_ < 0 && tabCount() > 0) selectTab(0);
    if (item->state == ValueState::Valid)
        editor_->showValue(item->value, false);
    else
        editor_->clear();
    setAcceptIcon(kReadyIcon);
    placeFocusStops();
}

void ValueEntryPanel::placeFocusStops() {
    if (!tabsStop_) return;
    if (currentTab_ >= 0) tabsStop_->follow(*tabs_[currentTab_]);
    tabsStop_->setVisible(tabCount() > 1);
    acceptStop_->follow(acceptButton_);
    defaultStop_->follow(defaultButton_);
    tabsStop_->update();
}

QList<QWidget*> ValueEntryPanel::keyboardStops() const {
    QList<QWidget*> stops = {tabsStop_};
    stops += ui::FocusableWidgets(editor_);
    stops << acceptStop_ << defaultStop_;
    return stops;
}

void ValueEntryPanel::takeValue(double value) {
    if (!item_ || item_->isOutput()) return;
    editor_->showValue(value, false);
    pendingEdits_ = 0;
    item_->value = value;
    item_->state = ValueState::Valid;
    ui::PostCommand(parentWidget(), kCmdCalculate);
    setAcceptIcon(kReadyIcon);
}

void ValueEntryPanel::addTab(int32_t format) {
    if (tabCount() >= kMaxTabs) return;
    const int s = ui::DisplayScale();
    const int left = tabs_.empty() ? -s : tabs_.back()->rect().right() + 1 - s;
    auto tab = std::make_unique<FormatTab>();
    tab->create(this, kCmdTabFirst + unsigned(tabCount()), format, tabFont_, left);
    tabs_.push_back(std::move(tab));
    tapList_.add(tabs_.back().get());
}

void ValueEntryPanel::clearTabs() {
    tabs_.clear();
    currentTab_ = -1;
    tapList_.clear();
    tapList_.add(&acceptButton_);
    tapList_.add(&defaultButton_);
}

void ValueEntryPanel::chooseTab(int index) {
    const int before = currentTab_;
    selectTab(index);
    // The item keeps the format it is entered in, in its file.
    if (currentTab_ != before) ui::PostCommand(parentWidget(), kCmdEntryFormatChosen);
}

void ValueEntryPanel::selectTab(int index) {
    if (index < 0 || index >= tabCount() || index == currentTab_ || !item_) return;
    std::optional<double> value;
    if (item_->state == ValueState::Valid) {
        value = item_->value;
    } else {
        double parsed = 0;
        if (item_->format.parseAndEvaluate(item_->valueText.view(), engine_, parsed))
            value = parsed;
    }
    editor_->setFormat(tabs_[index]->format(), value);
    if (currentTab_ >= 0) tabs_[currentTab_]->setSelected(false);
    tabs_[index]->setSelected(true);
    currentTab_ = index;
    placeFocusStops();
}

bool ValueEntryPanel::accept(bool force) {
    if (!force && pendingEdits_ == 0) return false;
    pendingEdits_ = 0;
    if (!item_) return false;
    const std::optional<double> value = editor_->read();
    if (!value) {
        setAcceptIcon(editor_->isEmpty() ? kReadyIcon : kErrorIcon);
        return false;
    }
    item_->value = *value;
    item_->state = ValueState::Valid;
    ui::PostCommand(parentWidget(), kCmdCalculate);
    setAcceptIcon(kReadyIcon);
    return true;
}

void ValueEntryPanel::acceptAndShow() {
    if (accept(true) && item_ && item_->state == ValueState::Valid)
        editor_->showValue(item_->value, false);
}

void ValueEntryPanel::showDefault() {
    if (!item_) return;
    double value = 0;
    if (item_->format.parseAndEvaluate(item_->valueText.view(), engine_, value))
        editor_->showValue(value, true);
}

void ValueEntryPanel::paste() {
    QWidget* focus = focusWidget();
    auto* box = qobject_cast<QLineEdit*>(focus);
    if (!box || !isAncestorOf(box)) box = qobject_cast<QLineEdit*>(editor_->activeControl());
    if (box)
        box->paste();
    else
        editor_->pasteIntoFields(ui::ClipboardText());
}

void ValueEntryPanel::takeFocus() {
    if (isShown()) editor_->activeControl()->setFocus(Qt::OtherFocusReason);
}

void ValueEntryPanel::showValueAgain() {
    if (item_ && editor_->showsValue() && item_->state == ValueState::Valid)
        editor_->showValue(item_->value, false);
}

void ValueEntryPanel::changed() {
    ++pendingEdits_;
    ticks_ = 0;
}

void ValueEntryPanel::tick() {
    if (pendingEdits_ < 1) return;
    if (++ticks_ % kTicksToAccept != 0) return;
    ticks_ = 0;
    accept(false);
}

void ValueEntryPanel::setTicking(bool ticking) {
    if (ticking)
        timer_.start(kTickInterval, this);
    else
        timer_.stop();
}

void ValueEntryPanel::timerEvent(QTimerEvent* event) {
    if (event->timerId() != timer_.timerId()) return ui::WindowObject::timerEvent(event);
    tick();
}

void ValueEntryPanel::command(const ui::CommandEvent& event) {
    const unsigned id = event.id();
    if (id == kCmdEditorChanged)
        changed();
    else if (id == kCmdAccept)
        acceptAndShow();
    else if (id == kCmdDefault)
        showDefault();
    else if (id >= kCmdTabFirst && id < kCmdTabFirst + kMaxTabs)
        chooseTab(int(id - kCmdTabFirst));
}

void ValueEntryPanel::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        acceptAndShow();
        return;
    }
    event->ignore();
}

// Wheel turns, the text box's among them, scroll the list: they go on to
// the main window.
void ValueEntryPanel::wheelEvent(QWheelEvent* event) {
    ui::LineEdit::ForwardWheel(event, parentWidget());
}

void ValueEntryPanel::setAcceptIcon(int icon) {
    if (icon == acceptIcon_) return;
    acceptIcon_ = icon;
    acceptButton_.setIcon(ui::LoadIcon(icon));
    update(acceptButton_.rect());
}

void ValueEntryPanel::penDown(QPoint point) { tapList_.penDown(point); }
void ValueEntryPanel::penMove(QPoint point) { tapList_.penMove(point); }
void ValueEntryPanel::penUp(QPoint point) { tapList_.penUp(point); }

void ValueEntryPanel::resizeEvent(QResizeEvent*) { layoutControls(); }

void ValueEntryPanel::layoutControls() {
    const int s = ui::DisplayScale();
    const int w = width();
    editor_->setGeometry(22 * s, 22 * s, std::max(0, w - 48 * s), 18 * s);
    acceptButton_.place(s, 21 * s, 20 * s, 20 * s);
    defaultButton_.place(w - 22 * s, 21 * s, 20 * s, 20 * s);
    placeFocusStops();
    update();
}

void ValueEntryPanel::paintEvent(QPaintEvent*) {
    const int s = ui::DisplayScale();
    const int band = 20 * s;
    QPainter painter(this);
    painter.fillRect(QRect(0, band, width(), height() - band), ui::Colours().paper);
    const QRect bandRect(0, 0, width(), band);
    ui::PaintAlignedBackground(painter, *this, bandRect, background_);
    // The band's frame reaches past both sides, so only its top and bottom
    // lines show.
    drawFlatFrame(painter, QRect(-s, 0, width() + 2 * s, band), s);
    for (const auto& tab : tabs_) tab->draw(painter);
    acceptButton_.draw(painter);
    defaultButton_.draw(painter);
}

} // namespace pq::conv
