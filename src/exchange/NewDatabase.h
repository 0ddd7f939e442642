#pragma once
// A new database file made ready for work: the full layout, the organisation row and the first
// users, the standard reference data of a recipe collection and a regulation, the sample
// documents and the start-up check. The answers about the institution come from the questions
// window (or the tool's options) and are remembered for the next new file.

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace rat {
class DatabaseSession;
class Prompt;
}

namespace rat::exchange {

struct NewDatabaseAnswers {
    bool fiveDayWeek = true;
    int stayCode = 1;  // 0: 9-10.5 hours, 1: 12 hours, 2: 24 hours
    int cycleDays = 10;
    bool fillPlanMenu = true;
    QString institutionName;  // empty: the sample name, to be corrected under "Учреждение"
};

// The texts of the choices, as the questions window offers them and the summary quotes them.
QStringList weekTexts();   // "5-рабочая неделя учреждения", "6-рабочая неделя учреждения"
QStringList stayTexts();   // "24 часа", "12 часов", "9-10,5 часов"
QStringList cycleTexts();  // "7 дней", "10 дней"
QStringList planTexts();   // "план-меню будет заполнен", "план-меню будет пуст"

QString weekText(const NewDatabaseAnswers& a);
QString stayText(const NewDatabaseAnswers& a);
QString cycleText(const NewDatabaseAnswers& a);
QString planText(const NewDatabaseAnswers& a);
// The answer of a choice text; false when the text is none of the choices.
bool setWeek(NewDatabaseAnswers& a, const QString& text);
bool setStay(NewDatabaseAnswers& a, const QString& text);
bool setCycle(NewDatabaseAnswers& a, const QString& text);
bool setPlan(NewDatabaseAnswers& a, const QString& text);

// The last answers from the settings ("ned", "vr", "per", "pl" of section "Settings"); the
// defaults where nothing is remembered. Saving writes the four texts.
NewDatabaseAnswers rememberedAnswers();
void rememberAnswers(const NewDatabaseAnswers& a);

// "База данных создана с параметрами: " + week + ", время пребывания детей равно " + stay +
// ", " + plan + "."
QString answersSummary(const NewDatabaseAnswers& a);

struct NewDatabaseRequest {
    NewDatabaseAnswers answers;
    // Which collection of "Примеры" (0-based in listed order); none: the only or main one, or
    // the person chooses when there are several.
    std::optional<int> collection;
    QString regulation;  // empty: the default regulation
    // Asked between the creation of the file and its fill (the questions window); may change
    // the answers.
    std::function<void(NewDatabaseAnswers&)> askQuestions;
    // Where the fill's messages and progress go; the session's own prompt when none.
    Prompt* prompt = nullptr;
};

// The whole creation: the open file is closed, the new one created with the full layout, the
// questions asked, then the organisation row, the users, the reference data and the check.
// The progress display of `prompt` shows the fill. An engine error ends it with
// "Произошла ошибка при создании файла базы данных. Ошибка: ..." and a file that was begun is
// removed again. True leaves the new file open in the session.
bool createAndFillNewDatabase(DatabaseSession& session, const QString& path, const NewDatabaseRequest& request);

} // namespace rat::exchange
