#pragma once

#include "base/form.h"
#include "help/help_topics.h"
#include "lobby/lobby_model.h"

#include <functional>

class QLabel;
class QListWidget;

namespace brivamo {

class OstrelButton;

// The main window: the catalogue of word lists, the words of the selected list, and the buttons
// that make a puzzle, edit the lists, open help, switch fading and quit. The lists and the flows
// live in LobbyModel; the window shows its state and forwards the user's actions.
//
// Shown modeless by the title window's Continue: form<frmLobby>().Show().
class frmLobby : public Form
{
    Q_OBJECT
public:
    frmLobby();
    ~frmLobby() override;

    // What opens help on a topic, modally, returning once help is closed: the help window, unless
    // replaced (tests do).
    using HelpOpener = std::function<void(int topic)>;
    static void setHelpOpener(HelpOpener opener);
    static constexpr int HelpTopic = HelpTopicLobby;

    const LobbyModel &model() const { return m_model; }
    // What the puzzle window receives: the selected category and the words in display order.
    QString selectedCategory() const { return m_model.selectedCategory(); }
    QStringList displayedWords() const { return m_model.words(); }

    // Controls.
    QWidget *picBox = nullptr;
    OstrelButton *cmdHelp = nullptr;
    OstrelButton *cmdFadeStatus = nullptr;
    OstrelButton *cmdEmailFriend = nullptr;
    OstrelButton *cmdQuit = nullptr;
    OstrelButton *cmdAddCategory = nullptr;
    OstrelButton *cmdNewAdd = nullptr;
    OstrelButton *cmdNewSave = nullptr;
    OstrelButton *cmdNewCancel = nullptr;
    QLabel *labelCategory = nullptr;
    QListWidget *listCategories = nullptr;
    OstrelButton *cmdDeleteCategory = nullptr;
    QLabel *labelWords = nullptr;
    QListWidget *listWords = nullptr;
    OstrelButton *cmdMakePuzzle = nullptr;
    OstrelButton *cmdAddWord = nullptr;
    OstrelButton *cmdEditWord = nullptr;
    OstrelButton *cmdDeleteWord = nullptr;

    // Event handlers.
    void ShowLobbyMode();
    void LoadCategories();
    void LoadWords();
    void listCategories_click();
    void listCategories_DblClick();
    void cmdMakePuzzle_Click();
    void cmdHelp_Click();
    void cmdQuit_Click();
    void cmdFadeStatus_MouseMove();
    void cmdFadeStatus_Click();
    void cmdEmailFriend_Click();
    void cmdAddCategory_Click();
    void cmdNewAdd_Click();
    void cmdNewSave_Click();
    void cmdNewCancel_Click();
    void cmdDeleteCategory_Click();
    void cmdAddWord_Click();
    void cmdEditWord_Click();
    void cmdDeleteWord_Click();

protected:
    void Form_Load() override;
    void Form_Activate() override;
    bool Form_KeyDown(int key, Qt::KeyboardModifiers shift) override;
    bool Form_QueryUnload(UnloadMode mode) override;
    void FadeCompleted() override;

private:
    void createControls();
    // Runs one of the model's steps and shows its outcome.
    void run(void (LobbyModel::*step)());
    // Brings every control in line with the model.
    void showModel();
    void fillList(QListWidget *list, const QStringList &entries, int current);
    void setDefaultRole(OstrelButton *button);
    void showFadePicture();
    static QString fadeTip();

    LobbyModel m_model;
    bool m_showing = false; // guards the list boxes' signals while the window fills them
};

} // namespace brivamo
