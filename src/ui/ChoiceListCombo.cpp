// Drop-down lists of a fixed choice list, each item carrying its stored code.

#include "ui/ChoiceListCombo.h"

#include <QComboBox>

namespace rat {

void FillChoiceList(QComboBox* box, int listNumber, bool keepExisting, const ChoiceFlags& flags)
{
    if (!box)
        return;
    if (!keepExisting)
        box->clear();
    for (const ChoiceItem& item : choiceList(listNumber, flags))
        box->addItem(item.text, item.code);
}

void selectCode(QComboBox* box, int code)
{
    if (!box)
        return;
    box->setCurrentIndex(box->findData(code));
}

} // namespace rat
