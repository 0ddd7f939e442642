// The fixed choice lists: each stored code with the text a window shows for it.

#include "core/ChoiceLists.h"
#include "core/Database.h"
#include "core/Parameters.h"

namespace rat {

ChoiceFlags readChoiceFlags(Database& db)
{
    ChoiceFlags f;
    ProgramParameters p;
    try {
        p = readOrganisationSwitches(db);
    } catch (const DbError&) {
        // A file without the organisation table: the switches' initial values.
    }
    f.eatings = p.eatings;
    f.vestSkl = p.vestSkl;
    return f;
}

namespace {

std::vector<ChoiceItem> numbered(std::initializer_list<const char*> texts, int first = 0)
{
    std::vector<ChoiceItem> out;
    int code = first;
    for (const char* t : texts)
        out.push_back({QString::fromUtf8(t), code++});
    return out;
}

} // namespace

std::vector<ChoiceItem> choiceList(int listNumber, const ChoiceFlags& flags)
{
    switch (listNumber) {
    case 44:
        return numbered({"По приемам пищи", "По категориям блюд"});
    case 5:
        return numbered({"час.", "сут.", "нед.", "мес.", "г."});
    case 16:
        return numbered({"Администратор", "Оператор", "Пользователь"});
    case 20:
        if (flags.eatings)
            return numbered({"категориям блюд", "приемам пищи"});
        return numbered({"категориям блюд"});
    case 25:
        return numbered({"целых (1)", "десятых (1,5)", "сотых (1,55)", "тысячных (1,555)"});
    case 29:
        return numbered({"Вперед", "Назад"});
    case 32:
        return numbered({"Основная"}, 1);
    case 40:
        return numbered({"Все", "Недостаток", "В достатке"});
    case 101:
        return numbered({"Меню-требование №299", "Меню-требование №299-мех", "Меню-требование по ОКУД 0504202"});
    case 102: {
        std::vector<ChoiceItem> out;
        for (int day = 1; day <= 31; ++day)
            out.push_back({QString::number(day), day});
        return out;
    }
    case 103:
        return numbered({"Январь", "Февраль", "Март", "Апрель", "Май", "Июнь", "Июль", "Август", "Сентябрь",
                         "Октябрь", "Ноябрь", "Декабрь"});
    case 250:
        // The regulation in force first; it has the next free code.
        return {{QStringLiteral("СанПиН 2.3/2.4.3590-20"), 4},
                {QStringLiteral("СанПиН 2.4.5.2409-08"), 0},
                {QStringLiteral("СанПиН 2.4.4.3155-13"), 1},
                {QStringLiteral("СанПиН 2.4.2.3286-15"), 3}};
    case 251:
        return numbered({"Детский сад", "Школа"});
    case 252:
        if (flags.vestSkl)
            return numbered({"По последней поставке", "По плановой цене продуктов", "По плановой цене тех.карт"});
        return numbered({"По плановой цене продуктов", "По плановой цене тех.карт"});
    case 253:
        return numbered({"Осенне-зимний", "Весенне-летний", "Весенний", "Летний", "Зимний", "Осенний",
                         "Зимне-весенний", "Летне-осенний"});
    default:
        return {};
    }
}

namespace {

bool storesCodePlusOne(int listNumber)
{
    return listNumber == 5 || listNumber == 25;
}

} // namespace

int storedCodeToListCode(int listNumber, int stored)
{
    return storesCodePlusOne(listNumber) ? stored - 1 : stored;
}

int listCodeToStored(int listNumber, int code)
{
    return storesCodePlusOne(listNumber) ? code + 1 : code;
}

QString seasonSuffix(int sezon)
{
    switch (sezon) {
    case 0: return {};
    case 1: return QStringLiteral(" (осенне-зимний)");
    case 2: return QStringLiteral(" (весенне-летний)");
    case 3: return QStringLiteral(" (весенний)");
    case 4: return QStringLiteral(" (летний)");
    case 5: return QStringLiteral(" (зимний)");
    case 6: return QStringLiteral(" (осенний)");
    case 7: return QStringLiteral(" (зимне-весенний)");
    default: return QStringLiteral(" (летне-осенний)");
    }
}

QString seasonSuffix(const QVariant& sezon)
{
    if (!sezon.isValid() || sezon.isNull() || sezon.toString().trimmed().isEmpty())
        return {};
    return seasonSuffix(sezon.toInt());
}

} // namespace rat
