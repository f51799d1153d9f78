// The entry points the main window calls: each runs its dialog modally over
// the main window and hands back what the user chose.
#include "converter/dialogs/dialogs.h"

#include <QCheckBox>
#include <QSpinBox>

#include "converter/dialogs/conversions_dialog.h"
#include "converter/dialogs/open_file_dialog.h"
#include "converter/dialogs/options_dialog.h"
#include "converter/dialogs/properties_dialog.h"
#include "converter/dialogs/show_hide_dialog.h"
#include "converter/dialogs/unit_properties_dialog.h"

namespace pq::conv {

bool ShowFilePropertiesDialog(QWidget* parent, Document& document, const Catalogue& catalogue) {
    PropertiesDialog dialog(parent, document, catalogue);
    return dialog.exec() == QDialog::Accepted;
}

bool ShowUnitPropertiesDialog(QWidget* parent, Item& item) {
    return ShowUnitPropertiesDialog(parent, item, nullptr);
}

bool ShowUnitPropertiesDialog(QWidget* parent, Item& item, const Document* document) {
    UnitPropertiesDialog dialog(parent, item, document);
    return dialog.exec() == QDialog::Accepted;
}

void ShowConversionsDialog(QWidget* parent, ConversionDocument& document, ExpressionEngine& engine,
                           std::function<void(const QString& change)> changed) {
    ConversionsDialog dialog(parent, document, engine);
    dialog.setChangeHandler(std::move(changed));
    dialog.exec();
}

int ShowOpenFileDialog(QWidget* parent, Catalogue& catalogue, TextReferenceList& references) {
    OpenFileDialog dialog(parent, catalogue, references);
    return dialog.exec() == QDialog::Accepted ? dialog.chosenIndex() : -1;
}

bool ShowOptionsDialog(QWidget* parent, QString& dataFolder, QString& updateSource,
                       bool* refreshRates, int* digits) {
    OptionsDialog dialog(parent, dataFolder, updateSource);
    if (refreshRates) dialog.refreshBox()->setChecked(*refreshRates);
    if (digits) dialog.digitsBox()->setValue(*digits);
    if (dialog.exec() != QDialog::Accepted) return false;
    dataFolder = dialog.dataFolder();
    updateSource = dialog.updateSource();
    if (refreshRates) *refreshRates = dialog.refreshBox()->isChecked();
    if (digits) *digits = dialog.digitsBox()->value();
    return true;
}

bool ShowShowHideDialog(QWidget* parent, Document& document) {
    ShowHideDialog dialog(parent, document);
    return dialog.exec() == QDialog::Accepted;
}

} // namespace pq::conv
