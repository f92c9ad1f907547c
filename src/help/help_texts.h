#pragma once

#include <QList>
#include <QString>

namespace brivamo {

// Ids of the built-in help texts.
constexpr int HelpOverview = 1000;
constexpr int HelpLobby = 1100;
constexpr int HelpMakingPuzzle = 1200;
constexpr int HelpTechSpecs = 1300;
constexpr int HelpAboutMaker = 1900;

// Every id that has a text.
QList<int> helpTextIds();

// The built-in help text `id`, lines joined with CR LF (paragraphs are separated by an empty line,
// CR LF CR LF); empty text for an unknown id.
QString helpText(int id);

} // namespace brivamo
