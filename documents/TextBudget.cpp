#include "documents/TextBudget.h"

#include "documents/DocumentFailure.h"

const char* const kTextTooLarge = "текст документа больше 32 МиБ";

void TextBudget::spend(std::size_t bytes) {
    if (!fits(bytes)) {
        throw DocumentUnreadable(kTextTooLarge);
    }
}
