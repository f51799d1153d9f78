// The dialogs' entry points while the dialogs are being built: each closes
// at once as if cancelled.
#include "converter/dialogs/dialogs.h"

namespace pq::conv {

bool ShowFilePropertiesDialog(QWidget*, Document&, const Catalogue&) { return false; }
bool ShowUnitPropertiesDialog(QWidget*, Item&) { return false; }
void ShowConversionsDialog(QWidget*, ConversionDocument&, ExpressionEngine&) {}
int ShowOpenFileDialog(QWidget*, Catalogue&, TextReferenceList&) { return -1; }
bool ShowOptionsDialog(QWidget*, QString&, QString&) { return false; }
bool ShowShowHideDialog(QWidget*, Document&) { return false; }

} // namespace pq::conv
