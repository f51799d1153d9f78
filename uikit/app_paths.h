#pragma once

#include <QString>
#include <QStringList>

namespace pq::ui {

// Where the programs find what ships with them and where they keep what each
// user changes.
//
// Run from the build folder, the programs sit in one folder with the shipped
// data files in its "Conversions/" folder, and they keep their files there.
// Installed, the programs sit in bin/ and the shipped files in the project's
// share folder beside it (../share/pqsuite/); each user's files then live in
// the per-user data folder, which is filled with a copy of the shipped data
// files at the first start.

// The folder of the running program file, ending in "/"; "/" when the path
// cannot be obtained. Computed once. Needs a QCoreApplication.
QString ProgramFolder();

// The installed share folder as seen from a program folder:
// programFolder + "../share/pqsuite/", cleaned, ending in "/".
QString InstalledShareFolder(const QString& programFolder);

// The folder that holds the shipped "Conversions/" folder and the help
// documents: the program folder when "Conversions/" is beside the program,
// else the installed share folder. Ends in "/".
QString FindShippedFolder(const QString& programFolder);
QString ShippedFolder(); // for the running program

// Whether a program in this folder keeps its files in the per-user folder:
// when the shipped files are not beside it (an installed program, even one
// run by a user who could write into bin/), or when the folder is not
// writable.
bool KeepsFilesPerUser(const QString& programFolder);

// The folder where the running program keeps its own files
// ("PqCalculator.dat", the default data folder): the program folder, or else
// the per-user data folder (QStandardPaths::AppDataLocation, which depends on
// the application name). Ends in "/". Not created here.
QString UserFolder();

// UserFolder() + "Conversions/": the default data folder. A data folder set
// in the options overrides it.
QString DefaultDataFolder();

// The path of a file the program keeps, such as "PqCalculator.dat", in
// UserFolder(); the folder is created when it is missing.
QString UserFilePath(const QString& name);

// The outcome of filling a data folder with the shipped files.
struct DataCopyResult {
    QStringList copied; // names copied this time
    QString error;      // what went wrong, for the user; empty when nothing did
    bool ok() const { return error.isEmpty(); }
};

// Copies each shipped file (every regular file of `shippedFolder`) into
// `dataFolder`, creating that folder when needed. A file that already exists
// in `dataFolder` is never touched, so a user's edits survive an upgrade;
// a shipped file copied once before and since deleted by the user is not
// brought back (the names copied are kept in the file ".shipped" there); a
// shipped file new in a later version is added. Each file is written under a
// temporary name and renamed when complete, so an interrupted copy leaves no
// half file under a real name and the next call completes it. The first
// failure (an unwritable folder, a full disk) ends the copy with an error that
// names the folder and the reason; nothing existing is lost.
DataCopyResult CopyShippedFiles(const QString& shippedFolder, const QString& dataFolder);

// The name of the list of files copied before, inside a data folder.
inline constexpr char kShippedListName[] = ".shipped";

// At start-up of an installed program: fills the default data folder from the
// shipped one. Returns the text to show the user once, or an empty text when
// all is well (and always when the program runs from its build folder).
QString PrepareDefaultDataFolder();

} // namespace pq::ui
