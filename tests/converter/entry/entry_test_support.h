#pragma once

#include <QKeyEvent>
#include <QTest>
#include <QWheelEvent>
#include <QWidget>

#include <vector>

#include "converter/commands.h"
#include "converter/entry/value_entry_panel.h"
#include "document/item.h"
#include "engine/expression_engine.h"
#include "tests/uikit/test_support.h"
#include "uikit/command_event.h"

namespace pq::test {

// The main window's stand-in: records the commands posted to it and the
// keys and wheel turns that reach it.
class HostWindow : public QWidget {
  public:
    HostWindow() { resize(240, 120); }

    int calculations() const {
        int count = 0;
        for (unsigned id : commands) count += id == conv::kCmdCalculate;
        return count;
    }

    std::vector<unsigned> commands;
    std::vector<int> keys;
    int wheelTurns = 0;

  protected:
    bool event(QEvent* event) override {
        if (event->type() == ui::CommandEvent::eventType()) {
            commands.push_back(static_cast<ui::CommandEvent*>(event)->id());
            return true;
        }
        return QWidget::event(event);
    }
    void keyPressEvent(QKeyEvent* event) override { keys.push_back(event->key()); }
    void wheelEvent(QWheelEvent* event) override {
        ++wheelTurns;
        event->accept();
    }
};

// A panel in a host window, its timer beaten by hand.
class PanelFixture {
  public:
    PanelFixture() : panel(engine, &host) {
        panel.setTicking(false);
        panel.setGeometry(0, 120 - conv::ValueEntryPanel::panelHeight(), 240,
                          conv::ValueEntryPanel::panelHeight());
        host.show();
    }

    // Delivers the posted notifications, then beats the timer n times and
    // delivers what the accepts posted.
    void beat(int n) {
        deliverPosted();
        for (int i = 0; i < n; ++i) panel.tick();
        deliverPosted();
    }

    static UnitItem& setUp(UnitItem& item, int32_t allowed, int32_t entry) {
        item.format.setAllowedFormats(allowed);
        item.format.entryFormat = entry;
        item.format.displayFormat = entry;
        return item;
    }

    ExpressionEngine engine;
    HostWindow host;
    conv::ValueEntryPanel panel;
};

} // namespace pq::test
