#pragma once
// Fills an opened menu-requirement template with the document's data. The template marks its
// blocks with placeholders; which blocks a template has decides the layout:
//   header        {org} {director} {okpo} {structure} {date} {number} {currency} {menu_sum}
//                 {staff_count} {sign.buh} {sign.med} {sign.mol} {sign.cook} {sign.store}
//   eaters        a row with {e.name} {e.count} {e.price} {e.cost} [{e.staff}], repeated per eater
//                 type; {e_total.count} {e_total.cost} in the "Всего" row
//   products      {p.name} {p.unit} {p.code} in the header rows; a block of two columns, {p.kol}
//                 and {p.kolv}, repeated per product ({p.kol} goes when the quantity per portion
//                 is not printed); "{head.end}" ends the rows repeated on every page
//   dish rows     a meal row ({meal}, or {meal.kids} and {meal.staff} for children and staff) and
//                 under it a dish row {r.type} {r.dish} {r.portions} {r.output} [{r.money} {r.pcost}]
//   totals        {t.kolv} with {t.type}: "Итого" per eater type; {k.out} {k.adj} {k.fact} for
//                 children, {s.out} {s.per} {s.adj} {s.fact} for staff, "{staff.begin}" where the
//                 staff block starts; {g.kolv} "Всего"; {p.price} {p.sum}; {sum_total}

#include "documents/MenuRequirementPrint.h"

namespace rat::documents {

class XlsxTemplate;

void fillMenuRequirementForm(XlsxTemplate& sheet, const MenuRequirementPrintData& data,
                             const MenuRequirementPrintSettings& settings);

} // namespace rat::documents
