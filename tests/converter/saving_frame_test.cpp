// The converter's window as the user meets its saving: every change on disk
// at once, nothing else written, failures told and asked about, files that
// may not be changed refused with one reason.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QSettings>
#include <QTimer>
#include <QToolTip>
#include <QtEndian>

#include <sys/stat.h>
#include <unistd.h>

#include <deque>
#include <functional>

#include "converter/commands.h"
#include "converter/dialogs/conversions_dialog.h"
#include "converter/file_state.h"
#include "converter/list/unit_list_view.h"
#include "document/document.h"
#include "engine/number_format.h"
#include "tests/converter/converter_fixture.h"
#include "tests/document/file_bytes.h"
#include "tests/uikit/test_support.h"
#include "uikit/message_box.h"

using namespace pq;
using namespace pq::conv;
using pq::test::ConverterWorld;
using pq::test::deliverPosted;

namespace {

// Takes every message; questions are answered from a script (true: the
// first button), and with No once it runs out.
class Answers {
  public:
    explicit Answers(std::deque<bool> script = {}) : script(std::move(script)) {
        ui::SetMessageResponder([this](const ui::MessageRequest& request) {
            seen.push_back(request);
            if (onMessage) onMessage(request);
            if (request.icon != ui::MessageIcon::Question && request.choices.isEmpty()) return true;
            if (this->script.empty()) return false;
            const bool answer = this->script.front();
            this->script.pop_front();
            return answer;
        });
    }
    ~Answers() { ui::SetMessageResponder({}); }
    Answers(const Answers&) = delete;
    Answers& operator=(const Answers&) = delete;

    QStringList titles() const {
        QStringList list;
        for (const auto& request : seen) list << request.title;
        return list;
    }

    std::deque<bool> script;
    std::vector<ui::MessageRequest> seen;
    std::function<void(const ui::MessageRequest&)> onMessage;
};

QByteArray bytesOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

// The bytes and modification time of a file: what "not written" means.
struct Snapshot {
    QByteArray bytes;
    int64_t modified = 0;
    bool operator==(const Snapshot&) const = default;
};

Snapshot snapshot(const QString& path) {
    struct stat info {};
    stat(QFile::encodeName(path).constData(), &info);
    return {bytesOf(path),
            static_cast<int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec};
}

// The file as another reader finds it.
std::unique_ptr<ConversionDocument> readBack(const QString& path) {
    auto document = std::make_unique<ConversionDocument>();
    document->loadFrom(path.toStdString(), true);
    return document;
}

QString fileName(const Document* document) {
    return document ? QString::fromStdU16String(document->fileNameWithExtension()) : QString();
}

bool hasUnit(const Document& document, const char16_t* name) {
    for (const auto& item : document.items)
        if (item->name == name) return true;
    return false;
}

// Fills the dialog a command opens: the first text box gets `text`, then
// OK. A dialog that should not open is cancelled and recorded.
void answerDialog(const QString& text, bool* opened = nullptr) {
    QTimer::singleShot(0, [text, opened] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog) return;
        if (opened) *opened = true;
        if (text.isNull()) return dialog->reject();
        const auto boxes = dialog->findChildren<QLineEdit*>();
        if (!text.isEmpty() && !boxes.isEmpty()) boxes.front()->setText(text);
        dialog->accept();
    });
}

void addUnit(CPqConvFrame& frame, const QString& name) {
    answerDialog(name);
    frame.onCommand(kCmdAddUnit);
    deliverPosted();
}

// Cuts the last conversion record short (its offset goes) and seals the
// file again: one conversion can no longer be read.
QByteArray withLastConversionCut(QByteArray bytes) {
    bytes.chop(8);
    qToLittleEndian<qint32>(static_cast<qint32>(bytes.size()), bytes.data() + 4);
    return bytes;
}

// The unit count of the header goes beyond the file: the file cannot be read
// at all.
QByteArray withUnitCountBeyondTheFile(QByteArray bytes) {
    qsizetype at = 8;
    for (int text = 0; text < 3; ++text)
        at += 4 + 2 * qFromLittleEndian<qint32>(bytes.constData() + at);
    qToLittleEndian<qint32>(0x7F7F7F7F, bytes.data() + at);
    return bytes;
}

// The tooltip the window shows over a point of its client area.
QString toolTipAt(CPqConvFrame& frame, QPoint point) {
    QWidget* client = frame.client();
    QHelpEvent help(QEvent::ToolTip, point, client->mapToGlobal(point));
    QApplication::sendEvent(client, &help);
    return QToolTip::text();
}

const unsigned kEditing[] = {kCmdProperties, kCmdAddUnit, kCmdEditUnit, kCmdDeleteUnit,
                             kCmdConversions};

} // namespace

TEST(SavingFrameTest, EveryChangeIsOnDiskAtOnceAndNothingElseIsWritten) {
    ConverterWorld world;
    world.seed({"Length.cnv", "Weight.cnv"});
    world.writeSettings({u"Length.cnv", u"Weight.cnv"});
    const QString length = world.dataFolder + QStringLiteral("Length.cnv");
    const QString weight = world.dataFolder + QStringLiteral("Weight.cnv");
    const Snapshot lengthBefore = snapshot(length), weightBefore = snapshot(weight);
    Answers answers;
    auto frame = world.open();
    deliverPosted();
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("Length - PqConverter"));

    // Looking, switching and computing write nothing; nor does a dialog
    // confirmed without a change.
    frame->list()->select(2);
    frame->onCommand(kCmdCalculate);
    frame->onCommand(kCmdSwitchFileFirst + 1);
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("Weight and Mass - PqConverter"));
    frame->onCommand(kCmdSwitchFileFirst + 1);
    answerDialog(QString(""));
    frame->onCommand(kCmdProperties);
    deliverPosted();
    EXPECT_EQ(snapshot(length), lengthBefore);
    EXPECT_EQ(snapshot(weight), weightBefore);
    EXPECT_TRUE(answers.seen.empty());

    // Each change is in the file the moment it is made.
    addUnit(*frame, QStringLiteral("Rod"));
    EXPECT_TRUE(hasUnit(*readBack(length), u"Rod"));
    EXPECT_FALSE(frame->document()->isModified());

    frame->list()->select(0);
    const std::u16string first(frame->document()->currentItem->name.view());
    frame->onCommand(kCmdRemoveFromList);
    EXPECT_EQ(readBack(length)->items[0]->shown, 0) << "hidden in the file too";

    // A format chosen in a row's menu is kept in the file as well.
    UnitListView& list = *frame->list();
    int row = -1;
    for (int i = 0; i < list.rowCount() && row < 0; ++i)
        if (list.row(i).item().format.allows(Compound) && list.row(i).item().format.allows(Decimal))
            row = i;
    ASSERT_GE(row, 0);
    const int32_t other =
        list.row(row).item().format.displayFormat == Compound ? Decimal : Compound;
    list.formatChosen(row, other == Decimal ? kCmdFormatDecimal : kCmdFormatCompound);
    deliverPosted();
    const auto saved = readBack(length);
    const size_t index = *frame->document()->indexOf(&list.row(row).item());
    EXPECT_EQ(saved->items[index]->format.displayFormat, other);

    // An edit in place in Edit > Conversions is in the file while the
    // dialog is still open.
    double whileOpen = 0;
    QTimer::singleShot(0, [&] {
        auto* dialog = dynamic_cast<ConversionsDialog*>(QApplication::activeModalWidget());
        if (!dialog) return;
        for (int i = 0; i < dialog->list()->count(); ++i) {
            dialog->list()->setCurrentRow(i);
            if (dialog->selectedConversion()->isLinear()) break;
        }
        const Conversion& edited = *dialog->selectedConversion();
        QLineEdit* factor = dialog->fields()->factorBox();
        factor->setText(QStringLiteral("1/3"));
        factor->setModified(true); // as typed
        emit factor->editingFinished();
        const auto onDisk = readBack(length);
        for (const auto& c : onDisk->conversions)
            if (c->unit1->name == edited.unit1->name && c->unit2->name == edited.unit2->name)
                whileOpen = c->factor;
        dialog->accept();
    });
    frame->onCommand(kCmdConversions);
    EXPECT_DOUBLE_EQ(whileOpen, 1.0 / 3.0);
    EXPECT_TRUE(answers.seen.empty()) << answers.titles().join(u',').toStdString();
}

TEST(SavingFrameTest, AFailedSaveIsToldKeptAndTriedAgainUntilTheUserLetsItGo) {
    ConverterWorld world;
    world.seed({"Length.cnv", "Weight.cnv"});
    world.writeSettings({u"Length.cnv", u"Weight.cnv"});
    const QString length = world.dataFolder + QStringLiteral("Length.cnv");
    const QByteArray folder = QFile::encodeName(world.dataFolder);
    const Snapshot before = snapshot(length);
    Answers answers;
    auto frame = world.open();
    deliverPosted();

    chmod(folder.constData(), 0555); // as a full disk would, every save fails
    addUnit(*frame, QStringLiteral("Rod"));
    ASSERT_EQ(answers.seen.size(), 1u);
    EXPECT_EQ(answers.seen[0].icon, ui::MessageIcon::Error);
    EXPECT_EQ(answers.seen[0].title, QStringLiteral("Save"));
    const QString cause =
        QString::fromStdString(geteuid() == 0 ? "its folder is marked read-only"
                                              : "you have no permission to write its folder");
    EXPECT_TRUE(answers.seen[0].text.startsWith(
        QStringLiteral("Could not save Length.cnv: %1.").arg(cause)))
        << answers.seen[0].text.toStdString();
    EXPECT_TRUE(frame->document()->isModified());
    EXPECT_TRUE(hasUnit(*frame->document(), u"Rod")) << "the change stays in memory";
    EXPECT_EQ(snapshot(length), before);

    // Switching tries again and asks; the user tries again once the folder
    // may be written, and the change reaches the file.
    answers.script = {true};
    answers.onMessage = [&](const ui::MessageRequest& request) {
        if (!request.choices.isEmpty()) chmod(folder.constData(), 0755);
    };
    frame->onCommand(kCmdSwitchFileFirst + 1);
    ASSERT_EQ(answers.seen.size(), 2u);
    EXPECT_EQ(answers.seen[1].choices,
              (QStringList{"Try Again", "Switch Without Saving", "Cancel"}));
    EXPECT_EQ(fileName(frame->document()), QStringLiteral("Weight.cnv"));
    EXPECT_TRUE(hasUnit(*readBack(length), u"Rod"));

    // At exit: asked, and a user who quits without saving loses the change,
    // even once the folder may be written again.
    const QString weight = world.dataFolder + QStringLiteral("Weight.cnv");
    const Snapshot weightBefore = snapshot(weight);
    answers.onMessage = {};
    chmod(folder.constData(), 0555);
    addUnit(*frame, QStringLiteral("Grain"));
    answers.script = {true, false}; // try again (still failing), then quit
    frame->show();
    EXPECT_TRUE(frame->close());
    ASSERT_EQ(answers.seen.size(), 5u) << answers.titles().join(u',').toStdString();
    EXPECT_EQ(answers.seen[3].choices, (QStringList{"Try Again", "Quit Without Saving", "Cancel"}));
    chmod(folder.constData(), 0755);
    frame.reset();
    EXPECT_EQ(snapshot(weight), weightBefore);
}

TEST(SavingFrameTest, FilesThatMayNotBeChangedRefuseEditsWithOneReason) {
    struct Case {
        const char* what;
        std::function<void(ConverterWorld&)> spoil;
        QString title;
        const char* report; // the one message at opening, if any
    };
    auto spoilFile = [](auto change) {
        return [change](ConverterWorld& world) {
            const QString path = world.dataFolder + QStringLiteral("Length.cnv");
            writeBytes(path, change(bytesOf(path)));
        };
    };
    const Case cases[] = {
        {"a read-only file",
         [](ConverterWorld& w) {
             chmod(QFile::encodeName(w.dataFolder + "Length.cnv").constData(), 0444);
         },
         "Length (read-only) - PqConverter", nullptr},
        {"a read-only folder",
         [](ConverterWorld& w) { chmod(QFile::encodeName(w.dataFolder).constData(), 0555); },
         "Length (read-only) - PqConverter", nullptr},
        {"a damaged file", spoilFile(withLastConversionCut), "Length (read-only) - PqConverter",
         "Length.cnv is damaged: 1 conversion could not be read.\n\nIt is opened read-only and "
         "left as it is on disk."},
        {"a file that cannot be read", spoilFile(withUnitCountBeyondTheFile),
         "Length (not readable) - PqConverter", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ConverterWorld world;
        world.seed({"Length.cnv", "Weight.cnv"});
        world.writeSettings({u"Length.cnv", u"Weight.cnv"});
        c.spoil(world);
        const QString length = world.dataFolder + QStringLiteral("Length.cnv");
        const Snapshot before = snapshot(length);
        Answers answers;
        {
            auto frame = world.open();
            deliverPosted();
            EXPECT_EQ(frame->windowTitle(), c.title);
            if (c.report) {
                ASSERT_EQ(answers.seen.size(), 1u);
                EXPECT_EQ(answers.seen[0].title, QStringLiteral("Damaged File"));
                EXPECT_TRUE(answers.seen[0].text.startsWith(QString::fromUtf8(c.report)))
                    << answers.seen[0].text.toStdString();
            } else {
                EXPECT_TRUE(answers.seen.empty());
            }
            const bool failed = frame->document()->readState().kind == ReadState::Kind::Failed;
            EXPECT_EQ(!frame->readProblem()->isHidden(), failed);
            if (failed) {
                EXPECT_EQ(frame->readProblem()->text(),
                          QStringLiteral("Length.cnv could not be read: its header announces "
                                         "more units than the file can hold."));
            }
            const QString reason = EditingProblem(*frame->document());
            EXPECT_TRUE(reason.startsWith(QStringLiteral("Length.cnv cannot be changed: ")));
            frame->updateCommands();
            for (unsigned id : kEditing) {
                EXPECT_FALSE(frame->commandAction(id)->isEnabled()) << id;
                EXPECT_EQ(frame->commandAction(id)->toolTip(), reason) << id;
            }
            // So are the changes offered in the list and the top strip.
            EXPECT_EQ(frame->showUnitsButton().state(), ui::PushButton::Disabled);
            frame->show();
            ASSERT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
            EXPECT_EQ(toolTipAt(*frame, frame->showUnitsButton().rect().center()), reason);
            EXPECT_EQ(frame->list()->changeProblem(), reason);
            if (frame->list()->rowCount() > 0) {
                std::unique_ptr<QMenu> rowMenu(frame->list()->row(0).createContextMenu(
                    frame.get(), frame.get(), 0, frame->list()->changeProblem()));
                frame->list()->showFormatMenu(0);
                auto* formatMenu = frame->list()->findChild<QMenu*>(QStringLiteral("formatMenu"));
                ASSERT_NE(formatMenu, nullptr);
                QStringList offered;
                for (QMenu* menu : {rowMenu.get(), formatMenu})
                    for (QAction* action : menu->actions())
                        if (!action->isSeparator() && !action->menu() &&
                            QString(action->text()).remove(u'&') != u"Copy Value") {
                            offered << QString(action->text()).remove(u'&');
                            EXPECT_FALSE(action->isEnabled()) << action->text().toStdString();
                            EXPECT_EQ(action->toolTip(), reason);
                        }
                EXPECT_TRUE(offered.contains(QStringLiteral("Remove from List")));
                EXPECT_TRUE(offered.contains(QStringLiteral("Customize...")));
                formatMenu->close();
            }
            EXPECT_EQ(frame->commandAction(kCmdRepair)->isEnabled(), c.report != nullptr);

            // Commands that would change it do nothing, and nothing is
            // written at the switch or at exit.
            bool opened = false;
            answerDialog(QString(), &opened);
            frame->onCommand(kCmdAddUnit);
            deliverPosted();
            EXPECT_FALSE(opened);
            frame->onCommand(kCmdRemoveFromList);
            frame->onCommand(kCmdSwitchFileFirst + 1);
            if (frame->document()->editable()) {
                EXPECT_EQ(frame->commandAction(kCmdEditUnit)->toolTip(),
                          QStringLiteral("Edit Unit Properties"))
                    << "the command's own tooltip is back";
            }
            frame->onCommand(kCmdSwitchFileFirst + 1);
            frame->show();
            EXPECT_TRUE(frame->close());
        }
        chmod(QFile::encodeName(length).constData(), 0644);
        chmod(QFile::encodeName(world.dataFolder).constData(), 0755);
        EXPECT_EQ(snapshot(length), before);
    }
}

TEST(SavingFrameTest, RepairSaysWhatItKeepsAndLosesAndAsksFirst) {
    // Weight.cnv (data/Weight.txt): each unit has one conversion, to the
    // kilogram. A byte of the length of the carat's value text spoilt: the
    // carat and its one conversion cannot be read.
    ConverterWorld world;
    world.seed({"Weight.cnv"});
    world.writeSettings({u"Weight.cnv"});
    const QString weight = world.dataFolder + QStringLiteral("Weight.cnv");
    QByteArray damaged = bytesOf(weight);
    const auto whole = readBack(weight);
    const size_t units = whole->items.size(), conversions = whole->conversions.size();
    const size_t carat = pq::test::valueTextOf(
        std::vector<uint8_t>(damaged.begin(), damaged.end()), u"ct");
    ASSERT_NE(carat, std::string::npos);
    damaged[static_cast<qsizetype>(carat)] =
        static_cast<char>(damaged[static_cast<qsizetype>(carat)] ^ 0xFF);
    writeBytes(weight, damaged);
    Answers answers({false, true}); // No first, then Yes
    auto frame = world.open();
    deliverPosted();
    ASSERT_EQ(answers.seen.size(), 1u);
    EXPECT_TRUE(answers.seen[0].text.startsWith(
        QStringLiteral("Weight.cnv is damaged: 1 unit and 1 conversion could not be read.")))
        << answers.seen[0].text.toStdString();

    const QString question =
        QStringLiteral("Repair keeps what could be read of Weight.cnv: it will hold %1 of %2 units "
                       "and %3 of %4 conversions. The rest could not be read and is lost from the "
                       "file, but the file as it is now is first copied to a backup beside "
                       "it.\n\nRepair Weight.cnv?")
            .arg(units - 1)
            .arg(units)
            .arg(conversions - 1)
            .arg(conversions);
    frame->onCommand(kCmdRepair);
    ASSERT_EQ(answers.seen.size(), 2u);
    EXPECT_EQ(answers.seen[1].text, question);
    EXPECT_EQ(bytesOf(weight), damaged) << "No leaves it as it is";
    EXPECT_FALSE(QFile::exists(weight + QStringLiteral(".damaged")));

    frame->onCommand(kCmdRepair);
    ASSERT_EQ(answers.seen.size(), 4u); // the question again, the result
    EXPECT_EQ(answers.seen[2].text, question);
    EXPECT_EQ(answers.seen[3].text, QStringLiteral("Weight.cnv was repaired. The damaged file is "
                                                   "kept as Weight.cnv.damaged."));
    EXPECT_EQ(bytesOf(weight + QStringLiteral(".damaged")), damaged);
    const auto repaired = readBack(weight);
    EXPECT_EQ(repaired->readState().kind, ReadState::Kind::Whole);
    EXPECT_EQ(repaired->items.size(), units - 1);
    EXPECT_EQ(repaired->conversions.size(), conversions - 1);
    EXPECT_FALSE(hasUnit(*repaired, u"Carat (ct)"));
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("Weight and Mass - PqConverter"));
    EXPECT_TRUE(frame->commandAction(kCmdAddUnit)->isEnabled());
    EXPECT_FALSE(frame->commandAction(kCmdRepair)->isEnabled());
}

TEST(SavingFrameTest, AFileChangedByAnotherProgramIsNotOverwritten) {
    ConverterWorld world;
    world.seed({"Length.cnv", "Speed.cnv", "Area.cnv"});
    world.writeSettings({u"Length.cnv"});
    const QString length = world.dataFolder + QStringLiteral("Length.cnv");
    Answers answers({true}); // reload
    auto frame = world.open();
    deliverPosted();

    const QByteArray theirs = bytesOf(world.dataFolder + QStringLiteral("Speed.cnv"));
    writeBytes(length, theirs);
    frame->onCommand(kCmdRemoveFromList);
    ASSERT_EQ(answers.seen.size(), 1u);
    EXPECT_EQ(answers.seen[0].title, QStringLiteral("File Changed"));
    EXPECT_EQ(answers.seen[0].choices, (QStringList{"Reload", "Keep Mine", "Cancel"}));
    EXPECT_EQ(bytesOf(length), theirs);
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("Speed - PqConverter")) << "read again";
    EXPECT_FALSE(frame->document()->isModified());

    // Keeping one's own version replaces theirs.
    writeBytes(length, bytesOf(world.dataFolder + QStringLiteral("Area.cnv")));
    answers.script = {false};
    frame->list()->select(0);
    frame->onCommand(kCmdRemoveFromList);
    const auto saved = readBack(length);
    EXPECT_EQ(saved->title, u"Speed");
    EXPECT_EQ(saved->items[0]->shown, 0);
}

TEST(SavingFrameTest, AnUnreadableSettingsFileIsToldOnceAndKeptBesideIt) {
    const QString file =
        QSettings(ConverterSettings::organisation(), ConverterSettings::application()).fileName();
    const QByteArray good = [] {
        ConverterSettings settings;
        settings.setDataFolder(QStringLiteral("/somewhere/else/"));
        QSettings store(ConverterSettings::organisation(), ConverterSettings::application());
        store.setValue(ConverterSettings::key(), settings.toBytes());
        store.sync();
        return bytesOf(store.fileName());
    }();
    QByteArray random(700, '\0');
    for (int i = 0; i < random.size(); ++i) random[i] = static_cast<char>((i * 7919 + 13) % 251);
    const struct {
        const char* what;
        QByteArray bytes;
    } cases[] = {
        {"a record of 899 bytes", "[Settings]\nOptions=@ByteArray(" + QByteArray(899, 'x') + ")\n"},
        {"an empty file", QByteArray()},
        {"a file cut short", good.left(good.size() / 2)},
        {"random bytes", random},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ConverterWorld world;
        world.seed({"Length.cnv"});
        QFile::remove(file + QStringLiteral(".bad"));
        writeBytes(file, c.bytes);
        for (int start = 0; start < 2; ++start) {
            Answers answers;
            auto frame = world.open();
            deliverPosted();
            if (start == 0) {
                ASSERT_EQ(answers.seen.size(), 1u);
                EXPECT_EQ(answers.seen[0].text,
                          QStringLiteral("The settings could not be read; the defaults are "
                                         "used. The unreadable settings are kept in %1.bad.")
                              .arg(file));
                // The default data folder, beside the program.
                EXPECT_EQ(frame->settings().dataFolder(), world.dataFolder);
            } else {
                EXPECT_TRUE(answers.seen.empty()) << "told once";
            }
        }
        EXPECT_EQ(bytesOf(file + QStringLiteral(".bad")), c.bytes);
    }
}
