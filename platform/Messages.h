#pragma once
// The program's message boxes, behind a seam that tests replace to read what would have been shown.

#include <QString>

class Messages {
  public:
    virtual ~Messages() = default;
    // The plain information box: one OK button, the application's title "Varnel".
    virtual void information(const QString& text) = 0;
    // A box with a caption of the program's choosing, one OK button and no icon.
    virtual void captioned(const QString& caption, const QString& text) = 0;
    // A box with a caption of the program's choosing, one OK button and the information icon; recorded as a
    // captioned box unless a replacement says otherwise.
    virtual void captionedInformation(const QString& caption, const QString& text) {
        captioned(caption, text);
    }
    // An unexpected failure's text.
    virtual void error(const QString& text) = 0;
    // A failure's text with a question after it, answered "Да" (true) or "Нет" (false, also Esc and the close
    // box); the application's title.
    virtual bool question(const QString& text) = 0;

    static Messages& current();
    // Replaces the boxes (tests); nullptr puts the real ones back.
    static void install(Messages* replacement);
};
