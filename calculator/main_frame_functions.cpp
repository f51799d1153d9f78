// The main window's user functions (menu, dialog, file) and its help.
#include <QCloseEvent>
#include <QFile>
#include <QMenu>
#include <QPointer>
#include <QTextBrowser>
#include <QTimer>

#include "calculator/commands.h"
#include "calculator/expression_edit.h"
#include "calculator/function_menu.h"
#include "calculator/main_frame.h"
#include "calculator/my_functions_dialog.h"
#include "calculator/scientific_view.h"
#include "engine/expression_engine.h"
#include "uikit/command_event.h"
#include "uikit/display_scale.h"
#include "uikit/html_viewer.h"
#include "uikit/message_box.h"

namespace pq::calc {

namespace {

QPointer<QMenu> lastFunctionMenu;

QString readProblem(FileStatus status) {
    switch (status) {
    case FileStatus::NotAFile: return QStringLiteral("it is not a regular file");
    case FileStatus::TooLarge: return QStringLiteral("it is larger than any functions file");
    default: return QStringLiteral("the system reported a read error");
    }
}

} // namespace

QMenu* CMainFrame::functionMenu() const { return lastFunctionMenu.data(); }

void CMainFrame::showFunctionMenu() {
    const bool standard = view_ == ViewMode::Standard;
    auto* menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("functionMenu"));
    menu->setAttribute(Qt::WA_DeleteOnClose);
    FunctionMenu(functions_, standard, kCmdUserFunctionFirst).fill(menu, this);
    if (!functions_.empty()) menu->addSeparator();
    if (standard && !callName_.isEmpty()) {
        QAction* hide = menu->addAction(QStringLiteral("Hide My Function"));
        connect(hide, &QAction::triggered, this,
                [this] { ui::PostCommand(this, kCmdHideFunction); });
    }
    QAction* edit = menu->addAction(QStringLiteral("Edit My Functions..."));
    connect(edit, &QAction::triggered, this, [this] { ui::PostCommand(this, kCmdEditFunctions); });
    lastFunctionMenu = menu;
    menu->popup(client_->mapToGlobal(QPoint(0, ui::Scaled(standard ? 88 : 174))));
}

void CMainFrame::loadFunctions() {
    if (options_.functionsFile.isEmpty()) return;
    std::string bytes;
    const FileStatus status = ReadFunctionFile(options_.functionsFile.toStdString(), bytes);
    QString problem;
    if (status == FileStatus::Ok) {
        const bool whole = DecodeFunctionFile(bytes, functions_);
        RegisterFunctions(engine_, functions_);
        if (!whole)
            problem = QStringLiteral("The functions file \"%1\" is damaged; %2 of its functions "
                                     "could be read.")
                          .arg(options_.functionsFile)
                          .arg(functions_.size());
    } else if (status != FileStatus::Missing) {
        problem = QStringLiteral("The functions file \"%1\" could not be read: %2.")
                      .arg(options_.functionsFile, readProblem(status));
    }
    if (!problem.isEmpty()) {
        problem += QStringLiteral(" The file is left as it is until you change your functions "
                                  "or leave My Functions with Done.");
        QTimer::singleShot(0, this, [this, problem] {
            showMessage(QMessageBox::Warning, QStringLiteral("My Functions"), problem);
        });
    }

    // The function applied in the standard view last time is applied again.
    const int macro = settings_.currentMacro;
    if (macro >= 0 && static_cast<size_t>(macro) < functions_.size() &&
        functions_[static_cast<size_t>(macro)].paramCount == 1)
        chooseFunction(macro);
    else
        settings_.currentMacro = -1;
}

bool CMainFrame::writeFunctions(QString& error) {
    if (options_.functionsFile.isEmpty()) return true;
    std::string cause;
    functionsUnsaved_ = !WriteFunctionFile(options_.functionsFile.toStdString(),
                                           EncodeFunctionFile(functions_), cause);
    error = QString::fromLocal8Bit(cause.c_str());
    return !functionsUnsaved_;
}

void CMainFrame::saveFunctions() {
    QString error;
    if (!writeFunctions(error))
        showMessage(QMessageBox::Critical, QStringLiteral("My Functions"),
                    QStringLiteral("Could not save your functions to \"%1\": %2. The file there "
                                   "is unchanged; your functions are kept, and PqCalculator tries "
                                   "again when you next change them and when you quit.")
                        .arg(options_.functionsFile, error));
}

bool CMainFrame::releaseFunctions() {
    QString error;
    while (functionsUnsaved_ && !writeFunctions(error)) {
        const int choice = ui::AskChoice(
            this, ui::MessageIcon::Error, QStringLiteral("My Functions"),
            QStringLiteral("Could not save your functions to \"%1\": %2.\n\nTry again, or quit "
                           "and lose your changes?")
                .arg(options_.functionsFile, error),
            {QStringLiteral("Try Again"), QStringLiteral("Quit Without Saving"),
             QStringLiteral("Cancel")});
        if (choice == 1) {
            functionsUnsaved_ = false; // the user let them go
            return true;
        }
        if (choice != 0) return false;
    }
    return true;
}

void CMainFrame::editFunctions() {
    if (findChild<MyFunctionsDialog*>()) return;
    const QString appliedDeclaration =
        settings_.currentMacro >= 0 &&
                static_cast<size_t>(settings_.currentMacro) < functions_.size()
            ? QString::fromStdU16String(
                  functions_[static_cast<size_t>(settings_.currentMacro)].declaration)
            : QString();
    // While the functions are edited, "ans" may become the name of one.
    scientific_->lastAnswer().release();
    auto* dialog = new MyFunctionsDialog(this, engine_, functions_);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::finished, this, [this, dialog, appliedDeclaration](int result) {
        scientific_->lastAnswer().refresh();
        // However the dialog was closed (Done, Escape, the window's close
        // button), a change to the functions is saved.
        if (result == QDialog::Accepted || dialog->changed() || functionsUnsaved_) saveFunctions();
        // The applied function may have moved, changed or gone.
        int found = -1;
        for (size_t i = 0; i < functions_.size(); ++i)
            if (QString::fromStdU16String(functions_[i].declaration) == appliedDeclaration &&
                functions_[i].paramCount == 1)
                found = static_cast<int>(i);
        if (!callName_.isEmpty()) chooseFunction(found);
        if (view_ == ViewMode::Scientific) scientific_->edit()->setFocus();
    });
    dialog->open();
}

void CMainFrame::chooseFunction(int index) {
    if (index < 0 || static_cast<size_t>(index) >= functions_.size()) {
        settings_.currentMacro = -1;
        callName_.clear();
        functionName_.setText(QString());
        functionResult_.clear();
        placeFocusStops();
        client_->update();
        if (isVisible()) saveSettings();
        return;
    }
    const UserFunction& function = functions_[static_cast<size_t>(index)];
    const QString call = QString::fromStdU16String(CallName(function.declaration));
    if (view_ == ViewMode::Scientific) {
        scientific_->edit()->insertCall(call, function.paramCount);
        scientific_->edit()->setFocus();
        return;
    }
    if (function.paramCount != 1) return;
    settings_.currentMacro = index;
    callName_ = call;
    const QString name = QString::fromStdU16String(function.name);
    functionName_.setText(name.mid(name.lastIndexOf(u'\\') + 1));
    recomputeFunction();
    placeFocusStops();
    client_->update();
    if (isVisible()) saveSettings();
}

void CMainFrame::help() {
    QFile file(options_.helpFile);
    if (options_.helpFile.isEmpty() || !file.open(QIODevice::ReadOnly)) {
        showMessage(QMessageBox::Critical, QStringLiteral("Help"),
                    QStringLiteral("The help could not be shown: \"%1\" is missing or cannot "
                                   "be read. Install the programs again to bring it back.")
                        .arg(options_.helpFile));
        return;
    }
    const QString html = QString::fromUtf8(file.read(1024 * 1024));
    auto* viewer = new ui::HtmlViewer(this, QStringLiteral("PqCalculator Help"), html);
    viewer->setAttribute(Qt::WA_DeleteOnClose);
    viewer->open();
    viewer->browser()->scrollToAnchor(QStringLiteral("main_contents"));
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    // The changes of a functions dialog still open are saved as its closing
    // would save them.
    if (auto* dialog = findChild<MyFunctionsDialog*>(); dialog && dialog->changed())
        functionsUnsaved_ = true;
    if (!releaseFunctions()) {
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}

void CMainFrame::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() &&
        view_ == ViewMode::Scientific)
        scientific_->edit()->setFocus();
}

} // namespace pq::calc
