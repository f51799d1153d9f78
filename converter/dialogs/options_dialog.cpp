#include "converter/dialogs/options_dialog.h"

#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "converter/dialogs/dialog_checks.h"
#include "engine/format_text.h"
#include "uikit/display_scale.h"
#include "uikit/message_box.h"

namespace pq::conv {

namespace {

constexpr ui::MenuBarItem kOkCancelBar[] = {{"  OK   ", ui::kOkCommand},
                                            {" Cancel ", ui::kCancelCommand}};
const QString kTitle = QStringLiteral("PqConverter Settings");

} // namespace

OptionsDialog::OptionsDialog(QWidget* parent, const QString& dataFolder,
                             const QString& updateSource)
    : ui::FullScreenDialog(parent, kTitle, kOkCancelBar) {
    body()->addWidget(new QLabel(QStringLiteral("Data File Location:"), this));
    auto* folderRow = new QHBoxLayout;
    folder_ = new QLineEdit(this);
    folder_->setMaxLength(kSettingsTextLength);
    folder_->setText(dataFolder);
    browse_ = new QPushButton(QStringLiteral("Browse..."), this);
    browse_->setAutoDefault(false);
    browse_->setMinimumWidth(browse_->fontMetrics().horizontalAdvance(browse_->text()) +
                             ui::Scaled(16));
    folderRow->addWidget(folder_, 1);
    folderRow->addWidget(browse_);
    body()->addLayout(folderRow);
    body()->addSpacing(ui::Scaled(6));
    body()->addWidget(new QLabel(QStringLiteral("Currency Update Download Source:"), this));
    source_ = new QLineEdit(this);
    source_->setMaxLength(kSettingsTextLength);
    source_->setText(updateSource);
    body()->addWidget(source_);
    refresh_ = new QCheckBox(QStringLiteral("Refresh exchange rates automatically"), this);
    refresh_->setChecked(true);
    refresh_->setToolTip(QStringLiteral("Applies at once. Off: PqConverter goes to the network "
                                        "only when you choose Download Exchange Rates."));
    body()->addWidget(refresh_);
    body()->addSpacing(ui::Scaled(6));
    auto* digitsRow = new QHBoxLayout;
    digits_ = new QSpinBox(this);
    digits_->setRange(kMinShownDigits, kMaxShownDigits);
    digits_->setValue(shownDigits());
    digits_->setAccessibleName(QStringLiteral("Significant digits shown"));
    digits_->setToolTip(QStringLiteral("How many significant digits the values show, from %1 to "
                                       "%2. Copy always gives up to 15.")
                            .arg(kMinShownDigits)
                            .arg(kMaxShownDigits));
    auto* digitsLabel = new QLabel(QStringLiteral("Significant &digits shown:"), this);
    digitsLabel->setBuddy(digits_);
    digitsRow->addWidget(digitsLabel);
    digitsRow->addWidget(digits_);
    digitsRow->addStretch(1);
    body()->addLayout(digitsRow);
    body()->addSpacing(ui::Scaled(12));
    auto* note = new QLabel(QStringLiteral("The download source, the automatic refresh and the "
                                           "digits apply at once. A new data file location is "
                                           "used when PqConverter is next started."),
                            this);
    note->setWordWrap(true);
    body()->addWidget(note);
    body()->addStretch(1);
    connect(browse_, &QPushButton::clicked, this, [this] { browse(); });
    folder_->setFocus();
}

QString OptionsDialog::dataFolder() const { return folder_->text().left(kSettingsTextLength); }
QString OptionsDialog::updateSource() const { return source_->text().left(kSettingsTextLength); }

void OptionsDialog::browse() {
    const QString start = QDir(folder_->text()).exists() ? folder_->text() : QDir::homePath();
    const QString chosen =
        QFileDialog::getExistingDirectory(this, QStringLiteral("Data File Location"), start);
    if (chosen.isEmpty()) return;
    QString folder = QDir::toNativeSeparators(chosen);
    if (!folder.endsWith(QDir::separator())) folder += QDir::separator();
    folder_->setText(folder);
}

void OptionsDialog::accept() {
    if (const QString problem = CheckDataFolder(dataFolder()); !problem.isEmpty()) {
        folder_->setFocus();
        ui::ShowMessage(this, ui::MessageIcon::Error, kTitle, problem);
        return;
    }
    if (const QString problem = CheckUpdateSource(updateSource()); !problem.isEmpty()) {
        source_->setFocus();
        ui::ShowMessage(this, ui::MessageIcon::Error, kTitle, problem);
        return;
    }
    ui::FullScreenDialog::accept();
}

} // namespace pq::conv
