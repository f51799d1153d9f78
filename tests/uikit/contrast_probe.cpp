#include "tests/uikit/contrast_probe.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QHash>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOption>
#include <QTextBlock>
#include <QTextEdit>
#include <QToolButton>

#include <algorithm>
#include <cstdio>

#include "uikit/dialogs.h"
#include "uikit/display_scale.h"
#include "uikit/scheme_colours.h"

namespace pq::test {

namespace {

std::string describe(const QWidget& widget, const QString& text) {
    QString shown = text.simplified();
    if (shown.size() > 40) shown = shown.left(39) + QChar(0x2026);
    return std::string(widget.metaObject()->className()) + " \"" + shown.toStdString() + "\"";
}

QRect lineEditText(const QLineEdit& edit, const QString& text) {
    const QRect inside = edit.rect().adjusted(3, 2, -3, -2);
    const int width = std::min(edit.fontMetrics().horizontalAdvance(text) + 4, inside.width());
    QRect box = inside;
    if (edit.alignment() & Qt::AlignRight)
        box.setLeft(inside.right() - width);
    else if (edit.alignment() & Qt::AlignHCenter)
        box = QRect(inside.center().x() - width / 2, inside.top(), width, inside.height());
    else
        box.setWidth(width);
    return box;
}

void addItemView(std::vector<TextPlace>& places, const QWidget& window, QAbstractItemView& view) {
    QWidget* port = view.viewport();
    const QAbstractItemModel* model = view.model();
    if (!model) return;
    for (int y = 0; y < port->height();) {
        QModelIndex row;
        for (int x : {2, port->width() / 3, port->width() / 2})
            if (!row.isValid()) row = view.indexAt(QPoint(x, y));
        if (!row.isValid()) {
            y += 2;
            continue;
        }
        int bottom = view.visualRect(row).bottom();
        for (int column = 0; column < model->columnCount(row.parent()); ++column) {
            const QModelIndex cell = row.siblingAtColumn(column);
            const QString text = cell.data().toString();
            const QRect box = view.visualRect(cell) & port->rect();
            bottom = std::max(bottom, view.visualRect(cell).bottom());
            // A row scrolled almost out of sight shows a strip with no text in it.
            if (box.height() < view.fontMetrics().height()) continue;
            if (!text.trimmed().isEmpty() && !box.isEmpty())
                AddPlace(places, window, *port, box, describe(view, text));
        }
        y = std::max(y + 1, bottom + 1);
    }
}

void addHeader(std::vector<TextPlace>& places, const QWidget& window, const QHeaderView& header) {
    for (int i = 0; i < header.count(); ++i) {
        if (header.isSectionHidden(i)) continue;
        const int at = header.sectionViewportPosition(i), size = header.sectionSize(i);
        const QRect box = header.orientation() == Qt::Horizontal
                              ? QRect(at, 0, size, header.height())
                              : QRect(0, at, header.width(), size);
        const QString text = header.model()->headerData(i, header.orientation()).toString();
        if (!text.isEmpty())
            AddPlace(places, window, *header.viewport(), box.adjusted(2, 2, -2, -2),
                     describe(header, text));
    }
}

void addTextDocument(std::vector<TextPlace>& places, const QWidget& window, QTextEdit& edit) {
    const QPoint scrolled(edit.horizontalScrollBar()->value(), edit.verticalScrollBar()->value());
    auto* layout = edit.document()->documentLayout();
    for (QTextBlock block = edit.document()->begin(); block.isValid(); block = block.next()) {
        if (block.text().trimmed().isEmpty()) continue;
        const QRect box = layout->blockBoundingRect(block).toAlignedRect().translated(-scrolled) &
                          edit.viewport()->rect();
        if (!box.isEmpty()) AddPlace(places, window, *edit.viewport(), box, describe(edit, block.text()));
    }
}

void addButton(std::vector<TextPlace>& places, const QWidget& window, QAbstractButton& button) {
    const QString text = button.text();
    if (text.trimmed().isEmpty()) return;
    QStyleOptionButton option;
    option.initFrom(&button);
    option.text = text;
    option.icon = button.icon();
    option.iconSize = button.iconSize();
    QRect box = button.rect();
    if (qobject_cast<QCheckBox*>(&button))
        box = button.style()->subElementRect(QStyle::SE_CheckBoxContents, &option, &button);
    else if (qobject_cast<QRadioButton*>(&button))
        box = button.style()->subElementRect(QStyle::SE_RadioButtonContents, &option, &button);
    else if (qobject_cast<QPushButton*>(&button))
        box = button.style()->subElementRect(QStyle::SE_PushButtonContents, &option, &button);
    else if (auto* tool = qobject_cast<QToolButton*>(&button);
             tool && tool->toolButtonStyle() == Qt::ToolButtonIconOnly)
        return;
    AddPlace(places, window, button, box, describe(button, text));
}

} // namespace

ContrastReading MeasureText(const QImage& picture, const TextPlace& place) {
    ContrastReading reading;
    reading.what = place.what;
    const QRect box = place.box & picture.rect();
    if (box.isEmpty()) return reading;
    QHash<QRgb, int> counts;
    for (int y = box.top(); y <= box.bottom(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        for (int x = box.left(); x <= box.right(); ++x) ++counts[line[x] | 0xff000000u];
    }
    QRgb ground = 0;
    int most = -1;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        if (it.value() > most) most = it.value(), ground = it.key();
    reading.ground = QColor::fromRgb(ground);
    reading.ratio = 1;
    reading.ink = reading.ground;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        const double ratio = ui::ContrastRatio(QColor::fromRgb(it.key()), reading.ground);
        if (ratio > reading.ratio) reading.ratio = ratio, reading.ink = QColor::fromRgb(it.key());
    }
    return reading;
}

ContrastReading MeasureMark(const QImage& picture, const ControlPlace& place) {
    ContrastReading reading;
    reading.what = place.what;
    const QRect box = place.box & picture.rect();
    if (box.isEmpty()) return reading;
    QHash<QRgb, int> around;
    const QRect outer = place.around.isEmpty() ? place.box.adjusted(-2, -2, 2, 2) : place.around;
    for (int y = outer.top(); y <= outer.bottom(); ++y)
        for (int x = outer.left(); x <= outer.right(); ++x)
            if (picture.rect().contains(x, y) && !box.contains(x, y))
                ++around[picture.pixel(x, y) | 0xff000000u];
    QRgb ground = 0;
    int most = -1;
    for (auto it = around.cbegin(); it != around.cend(); ++it)
        if (it.value() > most) most = it.value(), ground = it.key();
    reading.ground = QColor::fromRgb(ground);
    std::vector<std::pair<double, QRgb>> marks;
    std::pair<double, QRgb> highest{1, ground};
    const QRect inner = place.edge ? box.adjusted(1, 1, -1, -1) : QRect();
    for (int y = box.top(); y <= box.bottom(); ++y) {
        for (int x = box.left(); x <= box.right(); ++x) {
            if (inner.contains(x, y)) continue;
            const QRgb pixel = picture.pixel(x, y) | 0xff000000u;
            const double ratio = ui::ContrastRatio(QColor::fromRgb(pixel), reading.ground);
            if (ratio >= 1.5) marks.emplace_back(ratio, pixel);
            highest = std::max(highest, std::pair{ratio, pixel});
        }
    }
    std::pair<double, QRgb> chosen = highest;
    if (marks.size() >= 4) {
        std::nth_element(marks.begin(), marks.begin() + marks.size() / 2, marks.end());
        chosen = marks[marks.size() / 2];
    }
    reading.ratio = chosen.first;
    reading.ink = QColor::fromRgb(chosen.second);
    return reading;
}

void AddControl(std::vector<ControlPlace>& places, const QWidget& window, const QWidget& widget,
                const QRect& box, const std::string& what, const QRect& around, bool edge) {
    if (!widget.isVisible() || widget.visibleRegion().intersected(box).isEmpty()) return;
    const QPoint at = widget.mapTo(&window, QPoint(0, 0));
    places.push_back(
        {what, box.translated(at), around.isEmpty() ? QRect() : around.translated(at), edge});
}

std::vector<ControlPlace> WidgetControlPlaces(QWidget& window) {
    std::vector<ControlPlace> places;
    for (QWidget* w : window.findChildren<QWidget*>()) {
        if (!w->isVisible() || w->window() != &window) continue;
        if (auto* box = qobject_cast<QCheckBox*>(w); box && box->isEnabled()) {
            QStyleOptionButton option;
            option.initFrom(box);
            const QRect indicator =
                box->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, box);
            AddControl(places, window, *box, indicator, describe(*box, box->text()) + " box",
                       QRect(), true);
        } else if (auto* radio = qobject_cast<QRadioButton*>(w); radio && radio->isEnabled()) {
            QStyleOptionButton option;
            option.initFrom(radio);
            const QRect indicator =
                radio->style()->subElementRect(QStyle::SE_RadioButtonIndicator, &option, radio);
            AddControl(places, window, *radio, indicator, describe(*radio, radio->text()) + " circle",
                       QRect(), true);
        } else if (auto* tool = qobject_cast<QToolButton*>(w);
                   tool && tool->isEnabled() && !tool->icon().isNull() && tool->autoRaise()) {
            QRect icon(QPoint(), tool->iconSize());
            icon.moveCenter(tool->rect().center());
            AddControl(places, window, *tool, icon, describe(*tool, tool->toolTip()) + " icon",
                       tool->rect());
        } else if (auto* edit = qobject_cast<QLineEdit*>(w);
                   edit && edit->hasFrame() && edit->isEnabled() && !edit->isReadOnly()) {
            const int h = edit->height();
            AddControl(places, window, *edit, QRect(0, h / 4, 1, h / 2),
                       describe(*edit, edit->accessibleName()) + " edge", QRect(-3, h / 4, 2, h / 2));
        } else if (auto* view = qobject_cast<QAbstractItemView*>(w); view && view->model()) {
            const QAbstractItemModel* model = view->model();
            for (int row = 0; row < model->rowCount(); ++row) {
                const QModelIndex index = model->index(row, 0);
                if (!(model->flags(index) & Qt::ItemIsUserCheckable)) continue;
                QStyleOptionViewItem option;
                option.initFrom(view);
                option.rect = view->visualRect(index);
                option.features = QStyleOptionViewItem::HasCheckIndicator;
                const QRect check = view->style()->subElementRect(
                    QStyle::SE_ItemViewItemCheckIndicator, &option, view);
                if (view->viewport()->rect().contains(check))
                    AddControl(places, window, *view->viewport(), check,
                               describe(*view, index.data().toString()) + " check box", QRect(),
                               true);
            }
        }
    }
    return places;
}

void AddPlace(std::vector<TextPlace>& places, const QWidget& window, const QWidget& widget,
              const QRect& box, const std::string& what) {
    // Only what shows: the part of the box that the widget's parents and
    // siblings leave visible.
    const QRect shown = widget.visibleRegion().intersected(box).boundingRect();
    if (shown.isEmpty()) return;
    places.push_back({what, QRect(widget.mapTo(&window, shown.topLeft()), shown.size())});
}

std::vector<TextPlace> WidgetTextPlaces(QWidget& window) {
    std::vector<TextPlace> places;
    QList<QWidget*> widgets = window.findChildren<QWidget*>();
    widgets.prepend(&window);
    for (QWidget* w : widgets) {
        if (!w->isVisible() || w->window() != &window) continue;
        if (auto* label = qobject_cast<QLabel*>(w)) {
            const QString text = label->text();
            if (text.trimmed().isEmpty() || !label->pixmap().isNull()) continue;
            const int m = label->margin();
            QRect box = label->contentsRect().adjusted(m, m, -m, -m);
            if (!label->wordWrap() && !Qt::mightBeRichText(text))
                box = label->style()->itemTextRect(label->fontMetrics(), box, label->alignment(),
                                                   label->isEnabled(), text);
            AddPlace(places, window, *label, box, describe(*label, text));
        } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
            addButton(places, window, *button);
        } else if (auto* edit = qobject_cast<QLineEdit*>(w)) {
            const QString text =
                edit->displayText().isEmpty() ? edit->placeholderText() : edit->displayText();
            if (!text.trimmed().isEmpty())
                AddPlace(places, window, *edit, lineEditText(*edit, text), describe(*edit, text));
        } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
            if (combo->isEditable() || combo->currentText().isEmpty()) continue;
            QStyleOptionComboBox option;
            option.initFrom(combo);
            option.currentText = combo->currentText();
            const QRect box = combo->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                             QStyle::SC_ComboBoxEditField, combo);
            AddPlace(places, window, *combo, box, describe(*combo, combo->currentText()));
        } else if (auto* header = qobject_cast<QHeaderView*>(w)) {
            addHeader(places, window, *header);
        } else if (auto* view = qobject_cast<QAbstractItemView*>(w)) {
            addItemView(places, window, *view);
        } else if (auto* document = qobject_cast<QTextEdit*>(w)) {
            addTextDocument(places, window, *document);
        } else if (auto* plain = qobject_cast<QPlainTextEdit*>(w)) {
            if (!plain->toPlainText().trimmed().isEmpty())
                AddPlace(places, window, *plain->viewport(), plain->viewport()->rect(),
                         describe(*plain, plain->toPlainText()));
        } else if (auto* bar = qobject_cast<QMenuBar*>(w)) {
            for (QAction* action : bar->actions())
                if (action->isVisible() && !action->text().isEmpty())
                    AddPlace(places, window, *bar, bar->actionGeometry(action),
                             describe(*bar, action->text()));
        } else if (auto* menu = qobject_cast<QMenu*>(w)) {
            for (QAction* action : menu->actions())
                if (action->isVisible() && !action->isSeparator() && !action->text().isEmpty())
                    AddPlace(places, window, *menu, menu->actionGeometry(action),
                             describe(*menu, action->text()));
        }
    }
    if (auto* dialog = dynamic_cast<ui::FullScreenDialog*>(&window)) {
        const int s = ui::DisplayScale();
        places.push_back({describe(window, dialog->windowTitle()) + " title",
                          QRect(8 * s, 0, window.width() - 8 * s, 24 * s)});
    }
    return places;
}

ContrastReading LowestContrast(QWidget& window, const std::vector<TextPlace>& places,
                               const std::string& name) {
    const QImage picture = window.grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QByteArray folder = qgetenv("PQ_CONTRAST_PICTURES");
    if (!folder.isEmpty())
        picture.save(QDir(QString::fromLocal8Bit(folder)).filePath(QString::fromStdString(name) +
                                                                   QStringLiteral(".png")));
    ContrastReading lowest;
    lowest.what = name + ": no text";
    lowest.ratio = places.empty() ? 0 : 1e9;
    for (const TextPlace& place : places) {
        const ContrastReading reading = MeasureText(picture, place);
        if (reading.ratio < lowest.ratio) lowest = reading;
    }
    return lowest;
}

void ContrastWalk::check(QWidget& window, const std::string& name, std::vector<TextPlace> extra) {
    std::vector<TextPlace> places = WidgetTextPlaces(window);
    places.insert(places.end(), extra.begin(), extra.end());
    std::string picture = name + (ui::ActiveScheme() == ui::Scheme::Dark ? "-dark-" : "-light-") +
                          std::to_string(ui::DisplayScale());
    std::replace(picture.begin(), picture.end(), '/', '-');
    const ContrastReading lowest = LowestContrast(window, places, picture);
    EXPECT_GE(lowest.ratio, 4.5) << picture << ": " << lowest.what << ", "
                                 << lowest.ink.name().toStdString() << " on "
                                 << lowest.ground.name().toStdString();
    auto found = lowest_.find(name);
    if (found == lowest_.end() || lowest.ratio < found->second.ratio) lowest_[name] = lowest;
}

void ContrastWalk::checkControls(QWidget& window, const std::string& name,
                                 std::vector<ControlPlace> extra) {
    std::vector<ControlPlace> places = WidgetControlPlaces(window);
    places.insert(places.end(), extra.begin(), extra.end());
    EXPECT_FALSE(places.empty()) << name;
    const QImage picture = window.grab().toImage().convertToFormat(QImage::Format_RGB32);
    ContrastReading lowest;
    lowest.what = "no control";
    lowest.ratio = 1e9;
    for (const ControlPlace& place : places) {
        const ContrastReading reading = MeasureMark(picture, place);
        EXPECT_GE(reading.ratio, 3.0) << name << ": " << reading.what << ", "
                                      << reading.ink.name().toStdString() << " on "
                                      << reading.ground.name().toStdString();
        if (reading.ratio < lowest.ratio) lowest = reading;
    }
    const std::string key = name + " (controls)";
    auto found = lowest_.find(key);
    if (found == lowest_.end() || lowest.ratio < found->second.ratio) lowest_[key] = lowest;
}

std::string ContrastWalk::summary() const {
    std::vector<std::pair<std::string, ContrastReading>> rows(lowest_.begin(), lowest_.end());
    std::sort(rows.begin(), rows.end(),
              [](const auto& a, const auto& b) { return a.second.ratio < b.second.ratio; });
    std::string text;
    char ratio[16];
    for (const auto& [name, reading] : rows) {
        std::snprintf(ratio, sizeof ratio, "%5.2f", reading.ratio);
        text += name + "  " + ratio + "  " + reading.what + "\n";
    }
    return text;
}

} // namespace pq::test
