#pragma once

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include <memory>
#include <string>

#include "converter/dialogs/dialog_texts.h"
#include "document/document.h"
#include "tests/uikit/test_support.h"
#include "uikit/dialogs.h"
#include "uikit/message_box.h"

#include <vector>

namespace pq::test {

// The message box a dialog has open, or none.
inline QMessageBox* openMessage(const QWidget& dialog) {
    for (QMessageBox* box : dialog.findChildren<QMessageBox*>())
        if (box->isVisible()) return box;
    return nullptr;
}

// Answers the open message box and lets it go.
inline void answer(QMessageBox* box, QMessageBox::StandardButton button) {
    box->button(button)->click();
    deliverPosted();
}

// The text of the message the dialog shows (its box answered with OK), or
// an empty text when it shows none.
inline QString takeMessage(const QWidget& dialog, QString* title = nullptr) {
    deliverPosted();
    QMessageBox* box = openMessage(dialog);
    if (!box) return {};
    const QString text = box->text();
    if (title) *title = box->windowTitle();
    answer(box, box->button(QMessageBox::Ok) ? QMessageBox::Ok : QMessageBox::No);
    return text;
}

// Types a text into a box as a user would: the box counts as edited.
inline void typeInto(QLineEdit* box, const QString& text) {
    box->setFocus();
    box->selectAll();
    QTest::keyClicks(box, text);
    if (text.isEmpty()) QTest::keyClick(box, Qt::Key_Backspace);
}

// Taps a bar item of a dialog and delivers what it posted.
inline bool tapBar(QDialog& dialog, int command) {
    const bool given = ui::TriggerMenuBarItem(dialog, command);
    deliverPosted();
    return given;
}

// Answers every question with the given answer, and records it, while it
// lives.
class Answers {
  public:
    explicit Answers(bool yes) : yes(yes) {
        ui::SetMessageResponder([this](const ui::MessageRequest& request) {
            asked.push_back(request);
            return this->yes;
        });
    }
    ~Answers() { ui::SetMessageResponder({}); }
    Answers(const Answers&) = delete;
    Answers& operator=(const Answers&) = delete;

    bool yes;
    std::vector<ui::MessageRequest> asked;
};

inline Item& addUnit(Document& document, const char16_t* name, const char16_t* identifier = u"") {
    auto& item = document.items.emplace_back(createItem(document.typeCode()));
    item->name = name;
    item->identifier = identifier;
    return *item;
}

inline Conversion& addLinear(ConversionDocument& document, Item& a, Item& b, double factor,
                             double offset = 0) {
    Conversion& c = document.addConversion();
    c.unit1 = &a;
    c.unit2 = &b;
    c.factor = factor;
    c.offset = offset;
    return c;
}

inline QString shippedData(const QString& file) {
    return QDir(QStringLiteral(PQ_SHIPPED_DATA_DIR)).filePath(file);
}

inline bool copyShipped(const QString& file, const QString& folder) {
    return QFile::copy(shippedData(file), QDir(folder).filePath(file));
}

} // namespace pq::test
