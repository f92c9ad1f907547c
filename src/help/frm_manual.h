#pragma once

#include "base/form.h"
#include "help/help_topics.h"

#include <QList>
#include <QPixmap>

class QAction;
class QLabel;
class QMenu;
class QPlainTextEdit;

namespace brivamo {

class OstrelButton;

// Opens the help window modally on menu item `topicIndex` (HelpTopicLobby from the lobby,
// HelpTopicPuzzle from the puzzle window): sets HelpTopicIndex and returns once the user has
// closed the window with Return or Esc. A fresh window is created for every call.
void showHelpModal(int topicIndex);

// The help window: one help topic at a time, chosen from a pop-up menu (Help Topics button or
// F1), with printing of the shown topic.
class frmManual : public Form
{
    Q_OBJECT

public:
    frmManual();

    qint16 CurrentTopic() const { return m_topics.CurrentTopic(); }
    const QString &AboutText() const { return m_aboutText; }

    // Performs the action of menu item `index` (1 to 14).
    void menuHelpTopic_Click(int index);
    void cmdHelpTopic_Click();
    void cmdPrintHelp_Click();
    void cmdReturn_Click();

    // Controls, for the tests and the screenshot harness.
    OstrelButton *cmdHelpTopic() const { return m_cmdHelpTopic; }
    OstrelButton *cmdPrintHelp() const { return m_cmdPrintHelp; }
    OstrelButton *cmdReturn() const { return m_cmdReturn; }
    QLabel *labelHelpTopic() const { return m_labelHelpTopic; }
    QPlainTextEdit *txtManual() const { return m_txtManual; }
    QMenu *menuHelpMenu() const { return m_menuHelpMenu; }
    // Item `index` (1 to 14) of the menu.
    QAction *menuHelpTopic(int index) const;

    // Where the topic menu pops up: 700 twips right of and 340 twips below the button's corner.
    static constexpr int MenuOffsetXTwips = 700;
    static constexpr int MenuOffsetYTwips = 340;

protected:
    void Form_Load() override;
    void Form_Activate() override;
    bool Form_KeyDown(int key, Qt::KeyboardModifiers shift) override;

private:
    void showCurrentTopic();
    void syncCheckMarks();

    HelpTopicState m_topics;
    QString m_aboutText;
    QPixmap m_img; // the background tile
    OstrelButton *m_cmdHelpTopic = nullptr;
    OstrelButton *m_cmdPrintHelp = nullptr;
    OstrelButton *m_cmdReturn = nullptr;
    QLabel *m_labelHelpTopic = nullptr;
    QPlainTextEdit *m_txtManual = nullptr;
    QMenu *m_menuHelpMenu = nullptr;
    QList<QAction *> m_menuHelpTopic; // items 1 to 14 at positions 0 to 13
};

} // namespace brivamo
