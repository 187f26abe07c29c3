#pragma once
// How a reader ends early: the document cannot be read (damaged, encrypted, a limit reached), or the run
// asked it to stop. readDocument turns both into the document's status.

#include <stdexcept>

#include "documents/DocumentText.h"

class DocumentUnreadable : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

struct DocumentReadCancelled {};

// Throws DocumentReadCancelled when the run has asked to stop; an empty `cancelled` never does.
inline void stopIfCancelled(const DocumentCancel& cancelled) {
    if (cancelled && cancelled()) {
        throw DocumentReadCancelled{};
    }
}
