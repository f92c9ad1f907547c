#pragma once

#include <QList>
#include <QString>

namespace brivamo {

// The help menu item the help window opens with. The lobby sets HelpTopicLobby and the puzzle
// window HelpTopicPuzzle before showing it (brivamo::showHelpModal does both steps).
inline qint16 HelpTopicIndex = 0;

constexpr qint16 HelpTopicOverview = 1;
constexpr qint16 HelpTopicLobby = 3;
constexpr qint16 HelpTopicPuzzle = 4;

// Numbers of the menu items that do something other than show a topic text. Topic items carry
// the id of their text instead (1000, 1100, ...), separators and the closing item 0.
constexpr qint32 HelpNumberAbout = 7777;
constexpr qint32 HelpNumberEmail = 1111;
constexpr qint32 HelpNumberWebPage = 2222;

// One item of the help window's pop-up menu.
struct HelpMenuItem
{
    qint16 index = 0; // 1-based, as the menu shows them
    QString caption;  // "&" marks the access key; "-" is a separator
    qint32 number = 0;

    bool isSeparator() const { return caption == QLatin1String("-"); }
    bool operator==(const HelpMenuItem &) const = default;
};

// The 14 items of the help menu, in menu order (item i at position i - 1).
const QList<HelpMenuItem> &helpMenuItems();
constexpr qint16 HelpMenuItemCount = 14;

// The item with the given index, or nullptr outside 1 to 14.
const HelpMenuItem *helpMenuItem(int index);

// What choosing a menu item does.
enum class HelpAction {
    ShowTopic,    // show the item's text, check the item
    AboutBox,     // the About message box
    EmailMaker,   // open an e-mail to the maker
    VisitWebPage, // open the maker's web page
    Nothing,      // the closing item, the topic already shown, separators, unknown indexes
};

// The help window's topic state, without the window: which item is shown and checked.
class HelpTopicState
{
public:
    // 0 until a topic has been shown.
    qint16 CurrentTopic() const { return m_currentTopic; }

    // What choosing item `index` does now. The last item only closes the menu, and choosing the
    // topic already shown does nothing. A separator is never a topic: called with one (for
    // example through a stray HelpTopicIndex) nothing happens rather than showing a blank page.
    HelpAction actionFor(int index) const;

    // Chooses item `index`: when it is a topic other than the one shown it becomes CurrentTopic
    // and true is returned; otherwise nothing changes and false is returned.
    bool choose(int index);

    // Whether item `index` carries the check mark (only the topic shown does).
    bool isChecked(int index) const { return index > 0 && index == m_currentTopic; }

    // The caption of the topic shown (empty before the first).
    QString topicCaption() const;
    // The id of the shown topic's text (0 before the first).
    qint32 topicTextId() const;

    // "Brivamo, Help Section: Tech Specs": the heading of the printed topic.
    QString printHeading() const;

private:
    qint16 m_currentTopic = 0;
};

// The About box text: title, CR LF, "Version w" major.minor.revision, CR LF, CR LF, the file
// description, CR LF, "©" and the legal notice, CR LF, CR LF.
QString composeAboutText(const QString &title, int major, int minor, int revision,
                         const QString &fileDescription, const QString &legalNotice);

} // namespace brivamo
