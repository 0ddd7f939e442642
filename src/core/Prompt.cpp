// The answer names as the windows and the headless tool print them ("Да", "Нет", ...).

#include "core/Prompt.h"

namespace rat {

QString answerText(Answer a)
{
    switch (a) {
    case Answer::Yes: return QStringLiteral("Да");
    case Answer::No: return QStringLiteral("Нет");
    case Answer::Cancel: return QStringLiteral("Отмена");
    case Answer::Ok: return QStringLiteral("ОК");
    case Answer::None: break;
    }
    return {};
}

} // namespace rat
