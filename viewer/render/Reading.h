#pragma once
// The four readings of the viewer. The caption of the reading label is the state; the operations ask it here
// what it means.

#include <QString>
#include <string>

enum class Reading { Win, Dos, Ucode, Utf8 };

// The reading a caption of the reading label names; anything unknown reads as WIN.
Reading readingOf(const QString& caption);

// The reading the switch selects after `reading`: WIN, DOS, UCODE, UTF-8 and round again.
Reading nextReading(Reading reading);

// What the reading label and the list beside it show for a reading: its caption and the other three, the
// next one last. The list runs against the cycle, so read from its right it names the readings to come.
struct ReadingCaptions {
    QString reading;
    QString others;
};
ReadingCaptions captionsOf(Reading reading);

// The character that stands for a byte that cannot be shown as itself (drawn as "►").
constexpr char kPlaceholder = 0x10;

// Code page 866 text as Windows-1251, character by character.
std::string oemToAnsi(std::string text);
