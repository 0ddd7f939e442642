#pragma once
// Opening a saved printed form with the person's spreadsheet program. The desktop program sets
// an opener that asks the desktop to open the file; the headless tool and the tests keep the
// default, which opens nothing (the tool prints the path instead).

#include <QString>

namespace rat::documents {

class DocumentOpener {
public:
    virtual ~DocumentOpener() = default;
    virtual bool open(const QString& path) = 0;
};

// The opener of the run; nullptr opens nothing. The caller keeps ownership.
void setDocumentOpener(DocumentOpener* opener);
DocumentOpener* documentOpener();

} // namespace rat::documents
