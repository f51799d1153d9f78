#include "calculator/keypad_accessible.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPointer>
#include <QWindow>

#include <map>

#include "calculator/keypad.h"

namespace pq::calc {

namespace {

class KeyAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
  public:
    KeyAccessible(KeyPad* keypad, int cell) : keypad_(keypad), cell_(cell) {}

    bool isValid() const override { return keypad_ && cell_ < keypad_->cellCount(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override {
        return keypad_ && keypad_->window() ? keypad_->window()->windowHandle() : nullptr;
    }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(keypad_);
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QString text(QAccessible::Text t) const override {
        if (!isValid()) return QString();
        switch (t) {
        case QAccessible::Name: {
            const QString name = keypad_->longName(cell_);
            return name.isEmpty() ? keypad_->label(cell_) : name;
        }
        case QAccessible::Description: return keypad_->toolTip(cell_);
        default: return QString();
        }
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        if (!isValid()) return QRect();
        const QRect cell = keypad_->grid().cellRect(cell_);
        return QRect(keypad_->mapToGlobal(cell.topLeft()), cell.size());
    }
    QAccessible::Role role() const override { return QAccessible::Button; }
    QAccessible::State state() const override {
        QAccessible::State state;
        if (!keypad_ || !keypad_->isVisible()) state.invisible = true;
        if (keypad_ && !keypad_->isEnabled()) state.disabled = true;
        state.pressed = keypad_ && keypad_->pressedCell() == cell_;
        return state;
    }
    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                    : nullptr;
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& action) override {
        if (isValid() && action == pressAction()) keypad_->typeKey(cell_);
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

  private:
    QPointer<KeyPad> keypad_;
    int cell_;
};

class KeyPadAccessible : public QAccessibleWidget {
  public:
    explicit KeyPadAccessible(KeyPad* keypad) : QAccessibleWidget(keypad, QAccessible::Grouping) {}
    ~KeyPadAccessible() override {
        for (const auto& [cell, id] : keys_) QAccessible::deleteAccessibleInterface(id);
    }

    int childCount() const override { return keypad()->cellCount(); }
    QAccessibleInterface* child(int index) const override {
        if (index < 0 || index >= childCount()) return nullptr;
        auto found = keys_.find(index);
        if (found == keys_.end()) {
            auto* key = new KeyAccessible(keypad(), index);
            found = keys_.emplace(index, QAccessible::registerAccessibleInterface(key)).first;
        }
        return QAccessible::accessibleInterface(found->second);
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        for (const auto& [cell, id] : keys_)
            if (QAccessible::accessibleInterface(id) == child) return cell;
        return -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        const int cell = keypad()->grid().cellAt(keypad()->mapFromGlobal(QPoint(x, y)));
        return cell >= 0 ? child(cell) : nullptr;
    }

  private:
    KeyPad* keypad() const { return static_cast<KeyPad*>(widget()); }
    mutable std::map<int, QAccessible::Id> keys_;
};

} // namespace

QAccessibleInterface* KeyPadAccessibleFactory(const QString&, QObject* object) {
    if (auto* keypad = dynamic_cast<KeyPad*>(object)) return new KeyPadAccessible(keypad);
    return nullptr;
}

void InstallKeyPadAccessibility() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    QAccessible::installFactory(KeyPadAccessibleFactory);
}

} // namespace pq::calc
