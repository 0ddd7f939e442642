#pragma once
// Opens printed forms with the program the desktop associates with spreadsheets.

#include "documents/DocumentOpener.h"

namespace rat::ui {

class DesktopOpener : public documents::DocumentOpener {
public:
    bool open(const QString& path) override;
};

} // namespace rat::ui
