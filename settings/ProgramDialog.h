#pragma once
// The open dialog the settings window chooses a viewer program with, behind a seam that tests replace.

#include <optional>
#include <string>

class QWidget;

class ProgramDialog {
  public:
    virtual ~ProgramDialog() = default;
    // Runs the dialog over `parent`: the chosen file's full path as bytes, or nothing when cancelled.
    virtual std::optional<std::string> choose(QWidget* parent) = 0;

    static ProgramDialog& current();
    // Replaces the dialog (tests); nullptr puts the real one back.
    static void install(ProgramDialog* replacement);
};
