#pragma once

#include <QString>

namespace lumarel {

// The sheet a built-in design is laid out for. A design file keeps its own page.
enum class Paper
{
    Letter,
    A4
};

// "letter" or "a4", as stored and as typed after --paper.
QString paperName(Paper paper);
// The paper of that name (case does not matter); false for any other text.
bool paperFromName(const QString& name, Paper* paper);
// The accepted names, for a message that refuses another.
QString paperNames();

// The user's paper as the system has it: the locale's (LC_ALL over LC_PAPER), else the system's
// paper setting (PAPERSIZE, /etc/papersize through libpaper), else Letter.
Paper systemPaper();

// The user's choice of paper in the settings store (key "paper"); without one, or with one the
// program does not know, the system's paper.
class PaperSetting
{
public:
    static const QString& key();
    static Paper current();
    // Throws Failure when the store cannot be written.
    static void store(Paper paper);
};

} // namespace lumarel
