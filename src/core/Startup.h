#pragma once
// The start-up sequence shared by the desktop program and the headless tool: settings read,
// password asked, database opened (or created and filled), consistency check made.

#include <QString>
#include <functional>

namespace rat {

class DatabaseSession;
class Prompt;

enum class StartupResult { Ready, LoginRefused, Failed };

// Reads "Округление" and "DB" into the process-wide state. The application folder must
// already be set in app(); an explicit path wins over the "DB" setting.
void readStartupSettings(const QString& explicitDbPath);

// `login` is asked only when a program password is set; false ends the start.
StartupResult startUp(DatabaseSession& session, Prompt& prompt, const std::function<bool()>& login);

// A new working file at `path`: the full layout, the organisation row and the first users.
bool createAndFillDatabase(DatabaseSession& session, const QString& path);

} // namespace rat
