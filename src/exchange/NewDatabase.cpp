// A new database made ready for work: layout, organisation row, first users, the standard
// data chosen by the first-start answers, the sample documents, and the check.

#include "exchange/NewDatabase.h"
#include "core/ChoiceLists.h"
#include "core/Clock.h"
#include "core/Database.h"
#include "core/DatabaseSession.h"
#include "core/Prompt.h"
#include "core/SchemaCatalogue.h"
#include "core/Settings.h"
#include "core/StartupCheck.h"
#include "exchange/PackageLoaders.h"
#include "exchange/StandardData.h"
#include "stock/SampleDocuments.h"

#include <QFile>
#include <QStringList>

namespace rat::exchange {

namespace {

const QString kSection = QStringLiteral("Settings");

// Field lists and values of the first rows, items separated by the apostrophe.
const QString kInfFields = QStringLiteral("Naim'FamDir'ImDir'OtchDir'REF'appMajor'appMinor'appRevision'AREF'ASEC'norms'eatings");
const QString kInfValues = QStringLiteral("Детский сад №2'Иванова'Мария'Петровна'0'4'0'0'0'0'1'1");
const QString kUserFields = QStringLiteral("NAIM'ROLE'PSSW'MEMO");
const QStringList kUsers = {QStringLiteral("Оператор'1''"), QStringLiteral("Пользователь'2''")};

int indexOf(const QStringList& texts, const QString& text)
{
    return int(texts.indexOf(text.trimmed()));
}

// The organisation row (edited when there is one) and the two users.
void writeFirstRows(Database& db, const NewDatabaseAnswers& a)
{
    const QStringList fields = kInfFields.split(QLatin1Char('\''));
    const QStringList items = kInfValues.split(QLatin1Char('\''));
    std::vector<QVariant> values;
    QStringList columns, sets, marks;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        const QString& f = fields[i];
        const bool isText = i < 4;
        const bool isFlag = f == QLatin1String("AREF") || f == QLatin1String("norms") || f == QLatin1String("eatings");
        QVariant v = isText ? QVariant(items[i]) : QVariant(items[i].toLongLong());
        if (isFlag)
            v = QVariant(items[i].toLongLong() != 0 ? -1 : 0);
        values.push_back(v);
        columns << f;
        marks << QStringLiteral("?%1").arg(values.size());
        sets << f + QStringLiteral(" = ?%1").arg(values.size());
    }
    if (!a.institutionName.trimmed().isEmpty())
        values[0] = a.institutionName.trimmed();
    values.push_back(boolValue(a.fiveDayWeek));
    columns << QStringLiteral("[5week]");
    marks << QStringLiteral("?%1").arg(values.size());
    sets << QStringLiteral("[5week] = ?%1").arg(values.size());

    if (db.scalar(QStringLiteral("SELECT count(*) FROM INF")).toLongLong() > 0)
        db.exec(QStringLiteral("UPDATE INF SET ") + sets.join(QStringLiteral(", ")), values);
    else
        db.exec(QStringLiteral("INSERT INTO INF (") + columns.join(QStringLiteral(", ")) + QStringLiteral(") VALUES (") +
                    marks.join(QStringLiteral(", ")) + QLatin1Char(')'),
                values);

    const QStringList userFields = kUserFields.split(QLatin1Char('\''));
    Statement users(db, QStringLiteral("INSERT INTO USERS (") + userFields.join(QStringLiteral(", ")) +
                            QStringLiteral(") VALUES (?1, ?2, ?3, ?4)"));
    for (const QString& u : kUsers) {
        const QStringList item = u.split(QLatin1Char('\''));
        users.reset();
        users.bindAll({item[0], item[1].toInt(), item[2], item[3]});
        users.exec();
    }
}

QString chooseArchive(Prompt& prompt, const std::optional<int>& wanted)
{
    const std::vector<RecipeCollection> list = listRecipeCollections(prompt);
    if (list.empty())
        return {};
    int index = 0;
    if (wanted) {
        index = *wanted;
    } else if (list.size() > 1) {
        QStringList names;
        for (const RecipeCollection& c : list)
            names << c.name;
        index = prompt.choose(QStringLiteral("Сборник рецептур"), QStringLiteral("Выберите сборник рецептур:"), names).value_or(0);
    }
    if (index < 0 || index >= int(list.size()))
        return {};
    return list[size_t(index)].archive;
}

} // namespace

QStringList weekTexts()
{
    return {QStringLiteral("5-рабочая неделя учреждения"), QStringLiteral("6-рабочая неделя учреждения")};
}

QStringList stayTexts()
{
    return {QStringLiteral("24 часа"), QStringLiteral("12 часов"), QStringLiteral("9-10,5 часов")};
}

QStringList cycleTexts()
{
    return {QStringLiteral("7 дней"), QStringLiteral("10 дней")};
}

QStringList planTexts()
{
    return {QStringLiteral("план-меню будет заполнен"), QStringLiteral("план-меню будет пуст")};
}

QString weekText(const NewDatabaseAnswers& a)
{
    return weekTexts()[a.fiveDayWeek ? 0 : 1];
}

QString stayText(const NewDatabaseAnswers& a)
{
    // The list shows the longest stay first; the code counts from the shortest.
    switch (a.stayCode) {
    case 0: return stayTexts()[2];
    case 1: return stayTexts()[1];
    default: return stayTexts()[0];
    }
}

QString cycleText(const NewDatabaseAnswers& a)
{
    return cycleTexts()[a.cycleDays == 7 ? 0 : 1];
}

QString planText(const NewDatabaseAnswers& a)
{
    return planTexts()[a.fillPlanMenu ? 0 : 1];
}

bool setWeek(NewDatabaseAnswers& a, const QString& text)
{
    const int i = indexOf(weekTexts(), text);
    if (i < 0)
        return false;
    a.fiveDayWeek = i == 0;
    return true;
}

bool setStay(NewDatabaseAnswers& a, const QString& text)
{
    const int i = indexOf(stayTexts(), text);
    if (i < 0)
        return false;
    a.stayCode = 2 - i;
    return true;
}

bool setCycle(NewDatabaseAnswers& a, const QString& text)
{
    const int i = indexOf(cycleTexts(), text);
    if (i < 0)
        return false;
    a.cycleDays = i == 0 ? 7 : 10;
    return true;
}

bool setPlan(NewDatabaseAnswers& a, const QString& text)
{
    const int i = indexOf(planTexts(), text);
    if (i < 0)
        return false;
    a.fillPlanMenu = i == 0;
    return true;
}

NewDatabaseAnswers rememberedAnswers()
{
    NewDatabaseAnswers a;
    setWeek(a, Settings::text(kSection, QStringLiteral("ned")));
    setStay(a, Settings::text(kSection, QStringLiteral("vr")));
    setCycle(a, Settings::text(kSection, QStringLiteral("per")));
    setPlan(a, Settings::text(kSection, QStringLiteral("pl")));
    return a;
}

void rememberAnswers(const NewDatabaseAnswers& a)
{
    Settings::setText(kSection, QStringLiteral("ned"), weekText(a));
    Settings::setText(kSection, QStringLiteral("vr"), stayText(a));
    Settings::setText(kSection, QStringLiteral("per"), cycleText(a));
    Settings::setText(kSection, QStringLiteral("pl"), planText(a));
}

QString answersSummary(const NewDatabaseAnswers& a)
{
    return QStringLiteral("База данных создана с параметрами: ") + weekText(a) +
           QStringLiteral(", время пребывания детей равно ") + stayText(a) + QStringLiteral(", ") + planText(a) +
           QLatin1Char('.');
}

bool createAndFillNewDatabase(DatabaseSession& session, const QString& path, const NewDatabaseRequest& request)
{
    Prompt& prompt = request.prompt ? *request.prompt : session.prompt();
    if (!session.beginNewFile(path))
        return false;
    NewDatabaseAnswers answers = request.answers;
    if (request.askQuestions)
        request.askQuestions(answers);

    const QString label = fillingLabel();
    prompt.progress(0, 1, label);
    try {
        Database& db = session.db();
        {
            Transaction tx(db);
            writeFirstRows(db, answers);
            tx.commit();
        }

        StandardDataOptions options;
        options.regulation = request.regulation.isEmpty() ? defaultRegulation() : request.regulation;
        options.stayTime = stayTimeText(answers.stayCode);
        options.withPlans = answers.fillPlanMenu;
        options.cycleDays = answers.cycleDays;
        const QString archive = chooseArchive(prompt, request.collection);
        ImportStandardData(db, prompt, archive, options);
        // The norms standard of the file is the regulation its norms came from.
        for (const ChoiceItem& item : choiceList(250, {}))
            if (item.text == options.regulation)
                db.exec(QStringLiteral("UPDATE INF SET NewSanpin = ?1"), {item.code});

        // A few days of a working month, so a new user sees every kind of document filled in; one
        // write for all of them.
        {
            Transaction tx(db);
            stock::buildSampleDocuments(db, Clock::today());
            tx.commit();
        }

        // The file now carries this program's stamp; the start-up check ends the fill.
        db.exec(QStringLiteral("UPDATE INF SET appMajor = ?1, appMinor = ?2, appRevision = ?3"),
                {schema::versionMajor, schema::versionMinor, schema::versionRevision});
        runStartupCheck(db, prompt);
        prompt.progress(0, 0, label);
        // Only the whole file takes its name.
        return session.commitNewFile();
    } catch (const DbError& e) {
        prompt.progress(0, 0, label);
        prompt.warning(QStringLiteral("Произошла ошибка при создании файла базы данных. Ошибка: ") +
                       QString::number(e.code()) + QLatin1Char(' ') + e.text() + QLatin1Char('.'));
        session.close();  // the begun file goes with it
        return false;
    }
}

} // namespace rat::exchange
