// The re-issue from a date: every approved menu-requirement dated on or after it issued again in
// date order, each from the lots the earlier ones left, all in one transaction.

#include "stock/MenuRequirement.h"
#include "stock/MenuRequirementApproval.h"

#include "core/Database.h"
#include "core/Prompt.h"

#include <vector>

namespace rat::stock {

bool reissueFromDate(Database& db, Prompt& prompt, const QDate& from, std::optional<qint64> exceptDayMenu)
{
    struct Approved {
        qint64 idm = 0;
        qint64 dayMenuId = 0;
    };
    std::vector<Approved> list;
    Statement st(db, QStringLiteral("SELECT r.IDM, tm.ID_day_menu FROM MENUTR r JOIN MENUTM tm ON tm.IDM = r.IDM "
                                    "WHERE substr(r.date, 1, 10) >= ?1 AND r.status = -1 AND (?2 IS NULL OR "
                                    "tm.ID_day_menu <> ?2) ORDER BY substr(r.date, 1, 10), r.IDM"));
    st.bind(1, isoDate(from)).bind(2, exceptDayMenu ? QVariant(*exceptDayMenu) : QVariant());
    while (st.next())
        list.push_back({st.toInt64(0), st.toInt64(1)});
    if (list.empty())
        return false;

    const QString d = from.toString(QStringLiteral("dd.MM.yyyy"));
    if (prompt.ask(QStringLiteral("Изменения этого документа затрагивают партионный учет продуктов на складе. Сейчас "
                                  "программа будет заново заполнять и утверждать документы по расходу продуктов (на "
                                  "основании утвержденных меню-требований), начиная с даты ") +
                       d + QStringLiteral(". Это может занять несколько минут. Выполнить?"),
                   Buttons::YesNo, Answer::Yes) != Answer::Yes) {
        prompt.warning(QStringLiteral("Поскольку перерасчет расходования партий продуктов не был выполнен, то остатки по "
                                      "складу по партиям товаров могут быть некорректны. Общее количество оставшихся "
                                      "продуктов по всем партиям остается верным."));
        return false;
    }
    if (prompt.ask(QStringLiteral("Внимание: документы \"Расход\" будут заполнены заново. Если Вы вручную корректировали "
                                  "эти документы то изменения, внесенные вручную, начиная с даты ") +
                       d + QStringLiteral(" будут потеряны. (Меню-требования, заказ, приход, списание остаются без "
                                          "изменений.) Выполнить?"),
                   Buttons::YesNo, Answer::Yes) != Answer::Yes)
        return false;

    SilentPrompt quiet;  // the loads' status texts stay out of the way
    Transaction tx(db);
    for (size_t i = 0; i < list.size(); ++i) {
        prompt.progress(int(i), int(list.size()), QString());
        const auto idm1 = loadIntoWorkingCopy(db, quiet, list[i].dayMenuId, list[i].idm);
        if (!idm1)
            continue;
        issueAndApprove(db, quiet, *idm1, list[i].idm, false);
        clearWorkingCopy(db, *idm1);
    }
    tx.commit();
    prompt.progress(0, 0, QString());
    prompt.info(QStringLiteral("Операция перерасчета остатков партий продуктов успешно выполнена."));
    return true;
}

} // namespace rat::stock
