#pragma once
// The frame every printed form is built in: the status texts with their percentages, the
// template from "Шаблоны" (with the messages when it is missing), the output file in
// "Документы" named from the document, the closing message and the file handed to the
// person's spreadsheet program.
//
//   PrintFrame frame(prompt, PrintFamily::Document);
//   frame.progress(0);                                   // "Идет создание печатной формы документа..."
//   XlsxTemplate sheet;
//   if (frame.openTemplate("Приход", sheet) == PrintFrame::Template::Refused) return;
//   ... fill, frame.progress(80) ...
//   const QString path = frame.finish(sheet, "Приход №5 от 01.03.2026");  // "" when not saved

#include "documents/XlsxTemplate.h"

#include <QString>

namespace rat {
class Prompt;
}

namespace rat::documents {

// Which texts the frame shows: the menu-requirement's own ("…меню-требования…") or the
// stock documents' and every other form's ("…документа…").
enum class PrintFamily { MenuRequirement, Document };

class PrintFrame {
public:
    PrintFrame(Prompt& prompt, PrintFamily family);

    // The status-bar text: the plain text for 0, the text with "N%" after it otherwise.
    void progress(int percent);
    QString statusText(int percent) const;

    enum class Template { Loaded, Blank, Refused };
    // Opens "Шаблоны/<name>.xltx". A missing or unreadable template: the menu-requirement says
    // printing is impossible and refuses; a document asks "Выполнить печать без шаблона?" and,
    // on "Да", gives an empty sheet (Blank) for a plain layout.
    Template openTemplate(const QString& name, XlsxTemplate& sheet);
    QString missingTemplateText(const QString& name) const;

    // Saves into "Документы" as FileNameText(name) + ".xlsx", says so and opens the file. An
    // empty name saves nothing lasting: the form goes to "Tempp" for viewing ("…выполнена.").
    // A failed save says the form was not saved and still shows it from "Tempp". Returns the
    // path of the saved file, or an empty text when it was not saved into "Документы".
    QString finish(XlsxTemplate& sheet, const QString& name);

    static QString templatePath(const QString& name);
    static QString outputPath(const QString& name);

private:
    void show(XlsxTemplate& sheet, const QString& path);

    Prompt& prompt_;
    PrintFamily family_;
};

} // namespace rat::documents
