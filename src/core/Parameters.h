#pragma once
// The behaviour switches of the program: those kept in the organisation row of the file
// (they travel with it) and those kept per user in the settings store.

#include <QString>

namespace rat {

class Database;

struct ProgramParameters {
    // The organisation row (INF).
    bool norms = false;         // norms reference book in use
    bool eatings = false;       // plan-menu and day menu kept per meal
    bool fiveWeek = false;      // five-day working week (else six-day)
    bool tkList = false;        // each technological card printed on its own page
    bool galka = false;         // dish yields printed
    bool dopRekvizit = false;   // extra requisites on printed cards
    bool nds = false;           // value added tax in use
    double ndsRate = 0.0;       // tax rate, percent
    int schab = 0;              // menu-requirement print form (code of its choice list)
    bool vestSkl = true;        // warehouse accounting
    bool avtSpis = false;       // automatic write-off switch
    bool sezonnost = false;     // seasonal losses applied
    int taimOut = 150;          // update service time-out
    bool nacen = false;         // general mark-up in use
    double nacenRate = 0.0;     // general mark-up, percent

    // Per-user settings.
    bool zapretPlM = false;     // plan-menu locked against changes
    bool ispAvtRas = true;      // card composition and cost recalculated automatically
    bool sumBludOb = false;     // total dish volumes printed
    int tochOkrugl = 2;         // decimals of money shown in menus
    bool chOdin = false;        // menu-requirement form shows the quantity per portion
    bool shablonPM = false;     // plan-menu printed from the template by dish category
    int roundingDigits = 2;     // rounding digits of the computations ("Округление")
};

// Reads the organisation row and the settings; a missing row or an empty field gives the
// field's initial value.
ProgramParameters readParameters(Database& db);

// The switches of the organisation row only (the per-user fields keep their initial values).
// Every reader of an INF switch goes through here, so an empty field means the same everywhere.
ProgramParameters readOrganisationSwitches(Database& db);

// Writes the settings, then the organisation row in one statement, and makes the new rounding
// digits current. Automatic write-off cannot stay on without warehouse accounting.
void saveParameters(Database& db, const ProgramParameters& p);

// A number typed by a person: digits with one decimal comma or point ("12,5" is 12.5).
double parseDecimal(const QString& text, bool* ok);

// Per-user switches as other windows read them.
bool planMenuLocked();           // "zapretPlM"
bool autoRecalculationOn();      // "ispAvtRas": empty or 1 means on
int moneyDecimals();             // "tochOkrugl"

} // namespace rat
