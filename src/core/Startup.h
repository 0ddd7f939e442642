#pragma once
// The start-up sequence shared by the desktop program and the headless tool: settings read,
// password asked, database opened (or created and filled), consistency check made, the usual
// seasonal-loss periods added while their book is empty.

#include <QString>
#include <functional>

namespace rat {

class DatabaseSession;
class Prompt;

enum class StartupResult { Ready, LoginRefused, Failed };

// Reads "Округление" and "DB" into the process-wide state. The application folder must
// already be set in app(); an explicit path wins over the "DB" setting.
void readStartupSettings(const QString& explicitDbPath);

// How a program starts its work with the file of the run. The desktop program asks the
// program password through its login window and makes a missing file; the headless tool has
// no login window (its check-password command asks instead) and makes files only on command.
struct StartupWay {
    std::function<bool()> login;  // asked only when a program password is set; false ends the start
    bool askPassword = true;
    bool createMissing = true;
    bool refuseUnfilled = true;   // a file without the organisation row is refused
};

// The one start-up sequence of every program: password, the file opened (verified, upgraded)
// or made, the consistency check, then the usual seasonal-loss periods while their book is
// empty. What only a person at the desktop sees follows it in the desktop program.
StartupResult startUp(DatabaseSession& session, Prompt& prompt, const StartupWay& way);
// The desktop program's way with its login.
StartupResult startUp(DatabaseSession& session, Prompt& prompt, const std::function<bool()>& login);

// A new working file at `path`. With a fill installed (the desktop program installs the one
// that asks about the institution and loads the standard reference data) that fill makes it;
// without one the file gets the full layout, the organisation row and the first users.
bool createAndFillDatabase(DatabaseSession& session, const QString& path);

using DatabaseFill = std::function<bool(DatabaseSession& session, const QString& path)>;
// Replaces the fill of new files for the rest of the run; an empty one restores the plain fill.
void setDatabaseFill(DatabaseFill fill);

} // namespace rat
